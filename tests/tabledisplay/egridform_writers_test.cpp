// The text documents of the sample table, line for line, and each read back by a tool that
// did not write it: xmllint for the HTML and XML, xsltproc for the style sheet.
#include "tabledisplay/egridform_writers.h"

#include <gtest/gtest.h>

#include <functional>

#include "SampleTable.h"
#include "shell/ETider.h"

namespace egridform {
namespace {

class Writers : public ::testing::Test {
 protected:
  etider::SetClock clock_{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock scoped_{clock_};
  Table table_ = SampleTable();
  StringSink out_{"\n"};
  ScratchFolder folder_;
};

TEST_F(Writers, HtmlRepeatsTheHeadRowAndEscapesWhatWouldBreakIt) {
  ASSERT_TRUE(WriteHtml(table_, out_));
  const std::string cell = "<td>";
  const std::string head = R"(<td bgcolor="#707070" width="700*"><font size="+1" color="#FFFFFF" face="Arial"><b>)";
  EXPECT_EQ(out_.Text(),
            "<HTML>\n"
            "<HEAD>\n"
            "<title> Prov: R&auml;kor &amp; &lt;&ouml;l&gt; (x)</title>\n"
            "<meta name=\"generator\" content=\"nolkxxxVisa\">\n"
            "</HEAD>\n"
            "<body alink=\"#ff00ff\" text=\"#000000\" link=\"#0000ff\" vlink=\"#008000\" bgcolor=\"#ffffff\">\n"
            "<h2><b><font color=\"#000000\" face=\"Arial\">\n"
            "Prov: R&auml;kor &amp; &lt;&ouml;l&gt; (x)\n"
            "</font></b></h2>\n"
            "<table width=\"100%\" bgcolor=\"#ccccc0\" border=\"2\">\n"
            "<tr>\n" +
                head + "  ver    </b></font></td>\n" +
                head + "  datum    </b></font></td>\n" +
                head + "  text    </b></font></td>\n" +
                head + "      </b></font></td>\n" +
                head + "  belopp    </b></font></td>\n" +
                head + "</b></font></td>\n"
                "</tr>\n"
                "<tr>\n"
                "<td>  ver    </td>\n"
                "<td>  datum    </td>\n"
                "<td>  text    </td>\n"
                "<td>      </td>\n"
                "<td>  belopp    </td>\n"
                "<td></td>\n"
                "</tr>\n"
                "<tr>\n"
                "<td>    1    </td>\n"
                "<td>  2026-01-05    </td>\n"
                "<td>  R&auml;kor &amp; &lt;&ouml;l&gt; (x)    </td>\n"
                "<td>      </td>\n"
                "<td>       12.50    </td>\n"
                "<td></td>\n"
                "</tr>\n"
                "<tr>\n"
                "<td>   --     </td>\n"
                "<td></td>\n<td></td>\n<td></td>\n<td></td>\n<td></td>\n"
                "</tr>\n"
                "<tr>\n"
                "<td>    2    </td>\n"
                "<td>  2026-02-01    </td>\n"
                "<td>  &Aring;sa    </td>\n"
                "<td>      </td>\n"
                "<td>  -     3.00    </td>\n"
                "<td></td>\n"
                "</tr>\n"
                "<tr>\n"
                "<td></td>\n<td></td>\n<td></td>\n<td></td>\n<td></td>\n<td></td>\n"
                "</tr>\n"
                "</table>\n"
                "<p>\n"
                "<font size=\"-2\" face=\"Verdana, Tahoma, Arial\">\n"
                "<hr size=\"0\" width=\"137\" align=\"left\">\n"
                "<font size=\"-2\" face=\"Verdana, Tahoma, Arial\">\n"
                "<b>---><br>BFNOLKW64\n"
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
                "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;---></b><br>\n"
                "<hr size=\"0\" width=\"137\" align=\"left\">\n"
                "</font>\n"
                "<p align=\"center\">BFNOLKW64 S&ouml;ndag  2026-03-01 12:00:00</p>\n"
                "</body>\n"
                "</html>\n");
  folder_.Put("t.htm", out_.Text());
  const ProgramRun lint = RunProgram("xmllint --html --noout '" + folder_ / "t.htm" + "'");
  EXPECT_EQ(lint.status, 0) << lint.out;
}

TEST_F(Writers, XmlSplitsTablesAtTheDashRowAndItsStyleSheetShowsEveryCell) {
  ASSERT_TRUE(WriteXml(table_, StyleSheetName(folder_ / "t.xml"), out_));
  std::string rows;
  const auto row = [&rows](std::initializer_list<const char*> cells) {
    rows += "<rad>\n";
    int c = 0;
    for (const char* cell : cells) {
      const std::string n = std::to_string(c++);
      rows += "<kolumn" + n + ">\n" + A(cell) + " \n</kolumn" + n + ">\n";
    }
    rows += "</rad>\n";
  };
  row({"  ver    ", "  datum    ", "  text    ", "      ", "  belopp    ", ""});
  row({"    1    ", "  2026-01-05    ", "  Räkor &amp; &lt;öl&gt; (x)    ", "      ", "       12.50    ", ""});
  rows += "</tabell>\n<tabell>\n";
  row({"    2    ", "  2026-02-01    ", "  Åsa    ", "      ", "  -     3.00    ", ""});
  row({"", "", "", "", "", ""});
  EXPECT_EQ(out_.Text(), A("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
                           "<?xml-stylesheet href=\"t.xsl\" type=\"text/xsl\" ?>\n"
                           "<!-- Prov: Räkor & <öl> (x) -->\n"
                           "<visa>\n"
                           "<huvud>Prov: Räkor &amp; &lt;öl&gt; (x)</huvud>\n"
                           "<tabell>\n") +
                             rows + "</tabell>\n</visa>\n");

  StringSink xsl("\n");
  ASSERT_TRUE(WriteXsl(table_, xsl));
  std::string columns;
  for (int c = 0; c < 6; ++c) columns += "<td><xsl:value-of select=\"kolumn" + std::to_string(c) + "\"/></td>\n";
  EXPECT_EQ(xsl.Text(), A("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n"
                          "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
                          "<xsl:template match=\"/\">\n"
                          "<html>\n"
                          "<head>\n"
                          "<title><xsl:value-of select=\"visa/huvud\"/></title>\n"
                          "</head>\n"
                          "<body>\n"
                          "<h3><xsl:value-of select=\"visa/huvud\"/></h3>\n"
                          "<xsl:for-each select=\"visa/tabell\">\n"
                          "<br/>\n"
                          "<table border=\"2\">\n"
                          "<xsl:for-each select=\"rad\">\n"
                          "<tr>\n") +
                            columns +
                            A("</tr>\n"
                              "</xsl:for-each>\n"
                              "</table>\n"
                              "</xsl:for-each>\n"
                              "<br/><hr/>\n"
                              "<address>databehandlingen utförd av BFNOLKW64 vimle drumvik glimmerbodata 2005</address>\n"
                              "</body>\n"
                              "</html>\n"
                              "</xsl:template>\n"
                              "</xsl:stylesheet>\n"));

  folder_.Put("t.xml", out_.Text());
  folder_.Put("t.xsl", xsl.Text());
  const ProgramRun lint = RunProgram("xmllint --noout '" + folder_ / "t.xml" + "' '" + folder_ / "t.xsl" + "'");
  EXPECT_EQ(lint.status, 0) << lint.out;
  const ProgramRun html = RunProgram("cd '" + folder_.path() + "' && xsltproc t.xsl t.xml");
  ASSERT_EQ(html.status, 0) << html.out;
  EXPECT_EQ(html.out.find("<table") + 1 > 0, true);
  // Two tables, split where the dash row was; every cell in them.
  size_t tables = 0;
  for (size_t at = html.out.find("<table"); at != std::string::npos; at = html.out.find("<table", at + 1)) ++tables;
  EXPECT_EQ(tables, 2u);
  for (const char* cell : {"ver", "datum", "belopp", "2026-01-05", "Räkor &amp; &lt;öl&gt; (x)", "12.50", "Åsa",
                           "-     3.00"})
    EXPECT_NE(html.out.find(cell), std::string::npos) << cell << "\n" << html.out;
}

TEST_F(Writers, XmlTextKeepsTheDocumentWellFormed) {
  EXPECT_EQ(XmlText("a\x01" "b\tc\x81"), "a b\tc&#129;");
  Table t(FivePixelMetrics());
  t.Open(0, "a--b - -- c\x8d");
  t.RowEnd("x\x02y");
  StringSink out("\n");
  ASSERT_TRUE(WriteXml(t, "s\"&.xsl", out));
  EXPECT_NE(out.Text().find("href=\"s&quot;&amp;.xsl\""), std::string::npos);
  EXPECT_NE(out.Text().find("<!-- a- -b - - - c? -->"), std::string::npos);
  folder_.Put("odd.xml", out.Text());
  const ProgramRun lint = RunProgram("xmllint --noout '" + folder_ / "odd.xml" + "'");
  EXPECT_EQ(lint.status, 0) << lint.out;
}

TEST_F(Writers, StyleSheetGoesBesideTheDocument) {
  EXPECT_EQ(StyleSheetName("/home/u/export/bok.xml"), "bok.xsl");
  EXPECT_EQ(StyleSheetPath("/home/u/export/bok.xml"), "/home/u/export/bok.xsl");
  EXPECT_EQ(StyleSheetName("/home/u/bok"), "bok.xsl");
  EXPECT_EQ(StyleSheetPath("bok.v1.xml"), "bok.v1.xsl");
}

TEST_F(Writers, CsvIsUtf8WithTheDecimalComma) {
  ASSERT_TRUE(WriteCsv(table_, out_));
  EXPECT_EQ(out_.Text(),
            "\xEF\xBB\xBF" "ver;datum;text;;belopp;\n"
            "1;2026-01-05;R\xC3\xA4kor & <\xC3\xB6l> (x);;12,50;\n"
            "--;;;;;\n"
            "2;2026-02-01;\xC3\x85sa;;-3,00;\n"
            ";;;;;\n");
  Table t(FivePixelMetrics());
  t.Open(0, "t");
  t.Cell("a;b");
  t.Cell("sa \"ja\"");
  t.Cell("1.5");
  t.RowEnd("1234567.89");
  StringSink out("\n");
  ASSERT_TRUE(WriteCsv(t, out));
  EXPECT_EQ(out.Text().substr(3, out.Text().find('\n') - 3), "\"a;b\";\"sa \"\"ja\"\"\";1.5;1234567,89;");
}

TEST_F(Writers, TextAlignsTheColumns) {
  ASSERT_TRUE(WriteText(table_, out_));
  EXPECT_EQ(out_.Text(), A("Prov: Räkor & <öl> (x)\n"
                           "\n"
                           "  ver       datum           text                        belopp\n"
                           "    1       2026-01-05      Räkor & <öl> (x)                 12.50\n"
                           "   --\n"
                           "    2       2026-02-01      Åsa                         -     3.00\n"
                           "\n"));
}

// The first write that fails ends the writing.
class FailingSink : public LineSink {
 public:
  explicit FailingSink(int lines) : left_(lines) {}
  bool WriteLine(const std::string&) override { return Count(); }
  bool WriteRaw(std::string_view) override { return Count(); }
  std::string_view LineEnd() const override { return "\r\n"; }
  int calls = 0;

 private:
  bool Count() {
    ++calls;
    return --left_ >= 0;
  }
  int left_;
};

TEST_F(Writers, AFailedWriteStopsEachWriter) {
  for (const auto& write : std::initializer_list<std::function<bool(LineSink&)>>{
           [&](LineSink& s) { return WriteHtml(table_, s); }, [&](LineSink& s) { return WriteXml(table_, "t.xsl", s); },
           [&](LineSink& s) { return WriteXsl(table_, s); }, [&](LineSink& s) { return WriteCsv(table_, s); },
           [&](LineSink& s) { return WriteText(table_, s); }}) {
    FailingSink sink(3);
    EXPECT_FALSE(write(sink));
    EXPECT_EQ(sink.calls, 4);
  }
}

}  // namespace
}  // namespace egridform
