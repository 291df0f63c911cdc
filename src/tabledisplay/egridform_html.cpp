#include "tabledisplay/egridform_writers.h"

#include "shell/ESmall.h"
#include "shell/ETider.h"
#include "shell/GloDefs.h"

namespace egridform {

namespace {

constexpr char kNbsp[] = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
constexpr char kSmallFont[] = R"(<font size="-2" face="Verdana, Tahoma, Arial">)";
constexpr char kShortRule[] = R"(<hr size="0" width="137" align="left">)";

}  // namespace

std::string HtmlText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return esmall::ToHtml(escaped);
}

bool WriteHtml(const Table& table, LineSink& out) {
  LineWriter w(out);
  const std::string caption = HtmlText(table.Caption());
  w.Line("<HTML>");
  w.Line("<HEAD>");
  w.Line("<title> " + caption + "</title>");
  w.Line(R"(<meta name="generator" content="nolkxxxVisa">)");
  w.Line("</HEAD>");
  w.Line(R"(<body alink="#ff00ff" text="#000000" link="#0000ff" vlink="#008000" bgcolor="#ffffff">)");
  w.Line(R"(<h2><b><font color="#000000" face="Arial">)");
  w.Line(caption);
  w.Line("</font></b></h2>");
  w.Line(R"(<table width="100%" bgcolor="#ccccc0" border="2">)");
  w.Line("<tr>");
  for (int32_t c = 0; c < table.ColCount() && w.ok(); ++c)
    w.Line(R"(<td bgcolor="#707070" width="700*"><font size="+1" color="#FFFFFF" face="Arial"><b>)" +
           HtmlText(table.CellText(c, 0)) + "</b></font></td>");
  w.Line("</tr>");
  for (int32_t r = 0; r < table.RowCount() && w.ok(); ++r) {
    w.Line("<tr>");
    for (int32_t c = 0; c < table.ColCount() && w.ok(); ++c) w.Line("<td>" + HtmlText(table.CellText(c, r)) + "</td>");
    w.Line("</tr>");
  }
  w.Line("</table>");
  w.Line("<p>");
  w.Line(kSmallFont);
  w.Line(kShortRule);
  w.Line(kSmallFont);
  w.Line("<b>---><br>" + HtmlText(glodefs::ProgName));
  for (int i = 0; i < 3; ++i) w.Line(kNbsp);
  w.Line(std::string(kNbsp) + "---></b><br>");
  w.Line(kShortRule);
  w.Line("</font>");
  w.Line(R"(<p align="center">)" + HtmlText(glodefs::ProgName + " " + etider::Format(14)) + "</p>");
  w.Line("</body>");
  w.Line("</html>");
  return w.ok();
}

}  // namespace egridform
