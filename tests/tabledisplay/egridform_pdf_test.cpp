// The PDF of the table: the head of the file and a page line for line, the cross-reference
// table checked against the bytes, and every file read back by qpdf and pdftotext.
#include "tabledisplay/egridform_pdf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>

#include "SampleTable.h"
#include "shell/ETider.h"

namespace egridform {
namespace {

constexpr char kCreator[] = "BFNOLKW64.2014 181009E Linux/Qt";

// Pictures made in the test, or none.
class TestPictures : public PdfPictures {
 public:
  std::optional<printing::DecodedImage> Load(int k, const std::string& path) override {
    asked.push_back(std::to_string(k) + ":" + path);
    if (path.empty()) return std::nullopt;
    printing::DecodedImage image{40, 30, {}};
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        // Entry 1 red with a white cross, any other blue.
        const bool cross = x == y || x == image.width - 1 - y;
        image.rgb.push_back(cross ? 255 : k == 1 ? 220 : 30);
        image.rgb.push_back(cross ? 255 : 30);
        image.rgb.push_back(cross ? 255 : k == 1 ? 30 : 220);
      }
    return image;
  }
  std::vector<std::string> asked;
};

class Pdf : public ::testing::Test {
 protected:
  // The PDF of table as a file checked by qpdf; its text by pdftotext, pages split at \f.
  std::string Check(const std::string& bytes, const std::string& name = "t.pdf") {
    folder_.Put(name, bytes);
    // BFN_KEEP_DIR=FOLDER keeps the files, to look at.
    if (const char* keep = std::getenv("BFN_KEEP_DIR")) ScratchFolder::Copy(folder_ / name, std::string(keep) + "/" + name);
    const ProgramRun check = RunProgram("qpdf --check '" + folder_ / name + "'");
    EXPECT_EQ(check.status, 0) << check.out;
    const ProgramRun text = RunProgram("pdftotext -layout -enc UTF-8 '" + folder_ / name + "' -");
    EXPECT_EQ(text.status, 0) << text.out;
    return text.out;
  }

  // Every entry of the cross-reference table names the byte where its object starts, and
  // startxref names the table.
  static void ExpectCrossReferences(const std::string& pdf) {
    const size_t xref = pdf.rfind("\nxref") + 1;
    const std::smatch start = Match(pdf, std::regex("startxref\r?\n(\\d+)\r?\n%%EOF"));
    ASSERT_EQ(std::stoul(start[1]), xref);
    std::istringstream lines(pdf.substr(xref, pdf.find("trailer", xref) - xref));
    std::string line;
    std::getline(lines, line);
    int number = 0, left = 0, seen = 0;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (left == 0) {
        std::istringstream(line) >> number >> left;
        continue;
      }
      if (line.size() == 19 && line.back() == ' ') line.pop_back();  // 20 bytes with a one-byte line end
      ASSERT_EQ(line.size(), 18u) << line;
      if (line[17] == 'n') {
        const size_t at = std::stoul(line.substr(0, 10));
        EXPECT_EQ(pdf.compare(at, std::to_string(number).size() + 6, std::to_string(number) + " 0 obj"), 0)
            << number;
        ++seen;
      }
      ++number;
      --left;
    }
    // Every object of the file is in the table.
    const std::regex object("(^|\n)\\d+ 0 obj");
    EXPECT_EQ(seen, std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), object), std::sregex_iterator()));
    const std::smatch size = Match(pdf, std::regex("/Size (\\d+)"));
    EXPECT_EQ(std::stoi(size[1]), number);
  }

  static std::smatch Match(const std::string& text, const std::regex& pattern) {
    std::smatch m;
    EXPECT_TRUE(std::regex_search(text, m, pattern));
    return m;
  }

  // Every stream's /Length is the byte count between "stream" and "endstream".
  static void ExpectStreamLengths(const std::string& pdf) {
    const std::regex stream("(\\d+) 0 obj\r?\n  << /Length (\\d+) 0 R >>\r?\nstream\r?\n");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), stream); it != std::sregex_iterator(); ++it) {
      const size_t begin = static_cast<size_t>(it->position() + it->length());
      const size_t end = pdf.find("endstream", begin);
      size_t data = end - begin;
      if (data > 0) data -= pdf[end - 2] == '\r' ? 2 : 1;
      const std::string after = pdf.substr(end);
      const std::smatch length = Match(after, std::regex("\n" + (*it)[2].str() + " 0 obj\r?\n(\\d+)\r?\nendobj"));
      EXPECT_EQ(std::stoul(length[1]), data) << "stream " << (*it)[1];
    }
  }

  etider::SetClock clock_{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock scoped_{clock_};
  ScratchFolder folder_;
  PdfSetup setup_{kCreator, 0, {}};
  TestPictures pictures_;
  int held_ = kFirstPdfPageHeight;
};

TEST_F(Pdf, TheHeadAndAPageAreAsTheFormatGivesThem) {
  StringSink out("\n");
  ASSERT_TRUE(WritePdf(SampleTable(), setup_, pictures_, held_, out));
  EXPECT_EQ(held_, 536);  // 390 wide, on the run's first export: portrait, round(390 × 1.375)
  const std::string fonts = [] {
    std::string f;
    for (int i = 1; i <= 3; ++i)
      f += std::to_string(14 + i) + " 0 obj\n  << /Type /Font\n     /Subtype /Type1\n     /Name /F" + std::to_string(i) +
           "\n     /BaseFont /Courier\n     /Encoding /WinAnsiEncoding\n  >>\nendobj\n\n";
    return f;
  }();
  const std::string row0 =
      "    /F2 10 Tf\n    40 0 Td\n    (  ver    ) Tj\n    50 0 Td\n    (  datum    ) Tj\n    80 0 Td\n"
      "    (  text    ) Tj\n    110 0 Td\n    (      ) Tj\n    30 0 Td\n    (  belopp    ) Tj\n    80 0 Td\n"
      "    () Tj\n    -390 -13 Td\n";
  std::string stream = A("  BT\n    /F1 12 Tf\n    0 496 Td\n    40 -16 Td\n     (Sida 1) Tj\n    0 -16 Td\n"
                         "    (Prov: Räkor & <öl> \\(x\\)) Tj\n    -40 -13 Td\n") +
                       row0 +
                       A("    /F2 10 Tf\n    40 0 Td\n    (    1    ) Tj\n    50 0 Td\n    (  2026-01-05    ) Tj\n"
                         "    80 0 Td\n    (  Räkor & <öl> \\(x\\)    ) Tj\n    110 0 Td\n    (      ) Tj\n    30 0 Td\n"
                         "    (       12.50    ) Tj\n    80 0 Td\n    () Tj\n    -390 -13 Td\n"
                         "    /F2 10 Tf\n    40 0 Td\n    (   --     ) Tj\n    50 0 Td\n    () Tj\n    80 0 Td\n"
                         "    () Tj\n    110 0 Td\n    () Tj\n    30 0 Td\n    () Tj\n    80 0 Td\n    () Tj\n"
                         "    -390 -13 Td\n"
                         "    /F2 10 Tf\n    40 0 Td\n    (    2    ) Tj\n    50 0 Td\n    (  2026-02-01    ) Tj\n"
                         "    80 0 Td\n    (  Åsa    ) Tj\n    110 0 Td\n    (      ) Tj\n    30 0 Td\n"
                         "    (  -     3.00    ) Tj\n    80 0 Td\n    () Tj\n    -390 -13 Td\n"
                         "    /F2 10 Tf\n    40 0 Td\n    () Tj\n    50 0 Td\n    () Tj\n    80 0 Td\n    () Tj\n"
                         "    110 0 Td\n    () Tj\n    30 0 Td\n    () Tj\n    80 0 Td\n    () Tj\n    -390 -13 Td\n");
  // Rows end at y = 386; the footer goes to the last line above 2 line heights.
  for (int i = 0; i < 28; ++i) stream += "    0 -13 Td\n";
  stream += A("    /F3 8 Tf\n    40 0 Td\n     (BFNOLKW64 Söndag  2026-03-01 12:00:00) Tj\n  ET");
  const std::string expected =
      A("%PDF-1.4\n"
        "10 0 obj\n"
        "  << /Title (Prov: Räkor & <öl> \\(x\\))\n"
        "     /Author (glimmerbodata, vimle drumvik)\n"
        "     /Creator (BFNOLKW64.2014 181009E Linux/Qt)\n"
        "     /Producer ( N O L K: visningar )\n"
        "     /Subject (visningarPDF)\n"
        "     /CreationDate (Söndag  2026-03-01 12:00:00)\n"
        "  >>\n"
        "endobj\n"
        "11 0 obj\n  << /Type /Catalog\n     /Outlines 12 0 R\n     /Pages 13 0 R\n  >>\nendobj\n\n"
        "12 0 obj\n  << /Type /Outlines\n     /Count 0\n  >>\nendobj\n\n"
        "13 0 obj\n  <<\n     /Type /Pages\n     /Kids 9999 0 R\n     /MediaBox [0 0 390 536]\n"
        "     /Resources 2 0 R\n     /Count 9998 0 R\n  >>\nendobj\n\n"
        "2 0 obj\n<< /ProcSet [/PDF /Text /ImageB /ImageC /ImageI]\n   /Font  <<\n            /F1 15 0 R\n"
        "            /F2 16 0 R\n            /F3 17 0 R\n          >>\n    /XObject <<\n             >>\n>>\n"
        "endobj\n\n") +
      fonts +
      "18 0 obj\n  << /Type /Page\n     /Parent 13 0 R\n     /Contents [\n                  19 0 R\n"
      "                  21 0 R\n                ]\n  >>\nendobj\n\n"
      "19 0 obj\n  << /Length 20 0 R >>\nstream\n" +
      stream +
      "\nendstream\nendobj\n\n"
      "20 0 obj\n" +
      std::to_string(stream.size()) +
      "\nendobj\n\n"
      "21 0 obj\n  << /Length 22 0 R >>\nstream\nendstream\nendobj\n\n"
      "22 0 obj\n0\nendobj\n\n"
      "9998 0 obj\n1\nendobj\n\n"
      "9999 0 obj\n[\n18 0 R\n]\nendobj\n\n"
      "xref\n";
  ASSERT_EQ(out.Text().substr(0, expected.size()), expected);
  const std::string trailer = "trailer\n  << \n     /Size 10000\n     /Root 11 0 R\n     /Info 10 0 R\n  >>\nstartxref\n";
  EXPECT_EQ(out.Text().substr(out.Text().find("trailer"), trailer.size()), trailer);
  EXPECT_TRUE(out.Text().ends_with("%%EOF\n\n"));
  ExpectCrossReferences(out.Text());
  ExpectStreamLengths(out.Text());
  EXPECT_TRUE(pictures_.asked.empty());  // no entry active: no picture read
}

TEST_F(Pdf, ReadersTakeItAndFindEveryCell) {
  StringSink out;  // the exchange file's line ends
  ASSERT_TRUE(WritePdf(SampleTable(), setup_, pictures_, held_, out));
  ExpectCrossReferences(out.Text());
  ExpectStreamLengths(out.Text());
  const std::string text = Check(out.Text());
  for (const char* cell : {"Sida 1", "Prov: Räkor & <öl> (x)", "ver", "datum", "belopp", "2026-01-05",
                           "Räkor & <öl> (x)", "12.50", "--", "2026-02-01", "Åsa", "3.00",
                           "BFNOLKW64 Söndag", "2026-03-01 12:00:00"})
    EXPECT_NE(text.find(cell), std::string::npos) << cell << "\n" << text;
}

TEST_F(Pdf, TheHeldHeightTurnsThePage) {
  StringSink out;
  Table wide(FivePixelMetrics());
  wide.Open(0, "bred");
  wide.RowEnd(std::string(200, 'x'));  // 1030 pixels: wider than the first height
  ASSERT_TRUE(WritePdf(wide, setup_, pictures_, held_, out));
  EXPECT_EQ(held_, 778);  // landscape: round(1070 ÷ 1.375)
  EXPECT_NE(out.Text().find("/MediaBox [0 0 1070 778]"), std::string::npos);
  StringSink narrow;
  ASSERT_TRUE(WritePdf(SampleTable(), setup_, pictures_, held_, narrow));
  EXPECT_EQ(held_, 536);  // 390 is below the held 749: portrait again
}

TEST_F(Pdf, AHeadRowOnlyTableIsOnePage) {
  Table t(FivePixelMetrics());
  t.Open(0, "huvud");
  t.Cell("huvudraden, bred nog att rymma sidans rubrik");
  StringSink out;
  ASSERT_TRUE(WritePdf(t, setup_, pictures_, held_, out));
  // Row 0, then the empty rows every table keeps; all on the one page.
  EXPECT_NE(out.Text().find("9998 0 obj\r\n1\r\n"), std::string::npos);
  const std::string text = Check(out.Text());
  EXPECT_NE(text.find("Sida 1"), std::string::npos);
  EXPECT_NE(text.find("BFNOLKW64"), std::string::npos);
  EXPECT_EQ(text.find("Sida 2"), std::string::npos);
}

TEST_F(Pdf, EveryPageOfALongTableRepeatsTheHeadRow) {
  Table t(FivePixelMetrics());
  t.Open(0, A("lång"));
  for (const char* head : {"ver", "datum", "text", "debet"}) t.Cell(head);
  t.RowEnd("kredit");
  for (int r = 1; r <= 5000; ++r) {
    t.Cell(std::to_string(r));
    t.Cell("2026-01-01");
    t.Cell("rad" + std::to_string(r));
    t.RowEnd("10.00");
  }
  StringSink out;
  ASSERT_TRUE(WritePdf(t, setup_, pictures_, held_, out));
  const std::string text = Check(out.Text());
  int pages = 0;
  size_t begin = 0;
  for (size_t end = text.find('\f'); end != std::string::npos; begin = end + 1, end = text.find('\f', begin)) {
    const std::string page = text.substr(begin, end - begin);
    ++pages;
    EXPECT_NE(page.find("Sida " + std::to_string(pages)), std::string::npos) << pages;
    EXPECT_TRUE(std::regex_search(page, std::regex("ver +datum +text +debet +kredit"))) << pages;
  }
  EXPECT_GT(pages, 100);
  EXPECT_NE(text.find("rad5000 "), std::string::npos);
}

TEST_F(Pdf, PagesStepOverTheObjectsOfThePageCountAndArray) {
  // Each page holds one row: the head row's page and 2000 more run past object 9998.
  Table t({[](const std::string& s) { return static_cast<int>(s.size()) * 5; }, 100, 100});
  t.Open(0, "h");
  for (int r = 0; r < 2000; ++r) t.RowEnd(std::to_string(r));
  StringSink out;
  ASSERT_TRUE(WritePdf(t, setup_, pictures_, held_, out));
  EXPECT_NE(out.Text().find("\r\n10000 0 obj\r\n  << /Type /Page"), std::string::npos);
  EXPECT_NE(out.Text().find("\r\n9998 0 obj\r\n2001\r\n"), std::string::npos);
  ExpectCrossReferences(out.Text());
  Check(out.Text());
}

TEST_F(Pdf, ActivePicturesAreEmbeddedAndPlacedBelowTheText) {
  setup_.pictures[1] = {folder_ / "red.jpg", true, 3};
  setup_.pictures[2] = {"", false, 1};
  setup_.pictures[3] = {folder_ / "blue.jpg", true, 3};
  setup_.pictures[4] = {"", true, 1};  // active, but nothing to show: left out
  StringSink out;
  ASSERT_TRUE(WritePdf(SampleTable(), setup_, pictures_, held_, out));
  EXPECT_EQ(pictures_.asked, (std::vector<std::string>{"1:" + folder_ / "red.jpg", "3:" + folder_ / "blue.jpg", "4:"}));
  const std::string& pdf = out.Text();
  EXPECT_NE(pdf.find("    /XObject <<\r\n               /Im2 18 0 R\r\n               /Im4 19 0 R\r\n             >>"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Width 40\r\n   /Height 30\r\n   /ColorSpace /DeviceRGB\r\n   /BitsPerComponent 8\r\n"
                     "   /Filter /DCTDecode"),
            std::string::npos);
  // W 390, k 3: 128 wide and 96 high; the first at the right edge, the second left of it.
  EXPECT_NE(pdf.find("  260 98 m\r\n  388 98 l\r\n  388 2 l\r\n  260 2 l\r\n  260 98 l S\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("   126 0 0 94 261 3 cm\r\n   /Im2 Do\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("   126 0 0 94 131 3 cm\r\n   /Im4 Do\r\n"), std::string::npos);
  ExpectCrossReferences(pdf);
  ExpectStreamLengths(pdf);
  Check(pdf, "pictures.pdf");
  const ProgramRun images = RunProgram("pdfimages -list '" + folder_ / "pictures.pdf" + "'");
  EXPECT_EQ(std::count(images.out.begin(), images.out.end(), '\n'), 4) << images.out;  // head, rule, two
  // The temporary JPEG files are gone.
  const ProgramRun left = RunProgram("ls '" + TempFolder() + "' | grep -c bfnolk-pdfbild");
  EXPECT_EQ(left.out, "0\n");
}

TEST_F(Pdf, APictureThatDoesNotFitBelowTheTextIsLeftOut) {
  setup_.pictures[0] = {"big", true, 1};  // as wide as the page: above where the text ends
  Table t = SampleTable();
  for (int r = 0; r < 25; ++r) t.RowEnd("rad");  // one page, its text down to y = 61
  StringSink out;
  ASSERT_TRUE(WritePdf(t, setup_, pictures_, held_, out));
  EXPECT_NE(out.Text().find("/Im1 18 0 R"), std::string::npos);
  EXPECT_EQ(out.Text().find("/Im1 Do"), std::string::npos);
  Check(out.Text());
}

TEST(PdfText, EscapesWhatEndsOrBreaksAString) {
  EXPECT_EQ(PdfText("a(b)c\\d"), "a\\(b\\)c\\\\d");
  EXPECT_EQ(PdfText("x\ny\r\x01"), "x\\012y\\015\\001");
  EXPECT_EQ(PdfText(A("åäö")), A("åäö"));
}

TEST(PdfFonts, CourierTakesTheBigFontsStyle) {
  for (const auto& [style, name] : std::vector<std::pair<uint8_t, std::string>>{
           {0, "Courier"}, {1, "Courier-Bold"}, {2, "Courier-Oblique"}, {3, "Courier-BoldOblique"}, {4, "Courier"}}) {
    PdfSetup setup{"c", style, {}};
    TestPictures pictures;
    int held = kFirstPdfPageHeight;
    StringSink out;
    ASSERT_TRUE(WritePdf(SampleTable(), setup, pictures, held, out));
    EXPECT_NE(out.Text().find("/BaseFont /" + name + "\r\n"), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace egridform
