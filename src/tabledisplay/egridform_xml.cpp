#include "tabledisplay/egridform_writers.h"

#include <filesystem>

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/GloDefs.h"

namespace egridform {

namespace {

constexpr size_t kMaxComment = 255;

bool IsControl(unsigned char c) { return c < 0x20; }

// The five bytes Windows-1252 leaves undefined; a decoder of the code page refuses them.
bool IsUndefined(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

std::string AttributeText(const std::string& text) {
  std::string escaped;
  for (const char c : XmlText(text)) escaped += c == '"' ? std::string("&quot;") : std::string(1, c);
  return escaped;
}

// A comment holds no entities and may not hold "--": the caption as it stands, with a
// blank between two hyphens and the characters XML cannot hold replaced.
std::string CommentText(const std::string& caption) {
  std::string text;
  for (const char c : esmall::Cut(caption, kMaxComment)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '-' && !text.empty() && text.back() == '-') text += ' ';
    text += IsControl(u) ? ' ' : IsUndefined(u) ? '?' : c;
  }
  return text;
}

std::string Column(int32_t c) { return std::to_string(c); }

}  // namespace

std::string XmlText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '&')
      escaped += "&amp;";
    else if (c == '<')
      escaped += "&lt;";
    else if (c == '>')
      escaped += "&gt;";
    else if (IsControl(u) && c != '\t')
      escaped += ' ';
    else if (IsUndefined(u))
      escaped += "&#" + std::to_string(u) + ";";
    else
      escaped += c;
  }
  return escaped;
}

std::string StyleSheetName(const std::string& xmlPath) {
  return std::filesystem::path(xmlPath).filename().replace_extension(".xsl").string();
}

std::string StyleSheetPath(const std::string& xmlPath) {
  return std::filesystem::path(xmlPath).replace_extension(".xsl").string();
}

bool WriteXml(const Table& table, const std::string& styleSheet, LineSink& out) {
  LineWriter w(out);
  w.Line(std::string(R"(<?xml version="1.0" encoding=")") + kXmlEncoding + R"("?>)");
  w.Line(R"(<?xml-stylesheet href=")" + AttributeText(styleSheet) + R"(" type="text/xsl" ?>)");
  w.Line("<!-- " + CommentText(table.Caption()) + " -->");
  w.Line("<visa>");
  w.Line("<huvud>" + XmlText(table.Caption()) + "</huvud>");
  w.Line("<tabell>");
  for (int32_t r = 0; r < table.RowCount() && w.ok(); ++r) {
    if (table.CellText(0, r).find(" -- ") != std::string::npos) {
      w.Line("</tabell>");
      w.Line("<tabell>");
      continue;
    }
    w.Line("<rad>");
    for (int32_t c = 0; c < table.ColCount() && w.ok(); ++c) {
      w.Line("<kolumn" + Column(c) + ">");
      w.Line(XmlText(table.CellText(c, r)) + " ");
      w.Line("</kolumn" + Column(c) + ">");
    }
    w.Line("</rad>");
  }
  w.Line("</tabell>");
  w.Line("</visa>");
  return w.ok();
}

bool WriteXsl(const Table& table, LineSink& out) {
  LineWriter w(out);
  w.Line(std::string(R"(<?xml version="1.0" encoding=")") + kXmlEncoding + R"("?>)");
  w.Line(R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">)");
  for (const char* line : {R"(<xsl:template match="/">)", "<html>", "<head>",
                           R"(<title><xsl:value-of select="visa/huvud"/></title>)", "</head>", "<body>",
                           R"(<h3><xsl:value-of select="visa/huvud"/></h3>)", R"(<xsl:for-each select="visa/tabell">)",
                           "<br/>", R"(<table border="2">)", R"(<xsl:for-each select="rad">)", "<tr>"})
    w.Line(line);
  for (int32_t c = 0; c < table.ColCount() && w.ok(); ++c)
    w.Line(R"(<td><xsl:value-of select="kolumn)" + Column(c) + R"("/></td>)");
  for (const char* line : {"</tr>", "</xsl:for-each>", "</table>", "</xsl:for-each>", "<br/><hr/>"}) w.Line(line);
  w.Line(A("<address>databehandlingen utförd av ") + XmlText(glodefs::ProgName) +
         " vimle drumvik glimmerbodata 2005</address>");
  for (const char* line : {"</body>", "</html>", "</xsl:template>", "</xsl:stylesheet>"}) w.Line(line);
  return w.ok();
}

}  // namespace egridform
