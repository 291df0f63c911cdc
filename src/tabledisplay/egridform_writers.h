// The table's text documents: the HTML page, the XML document with its XSL style sheet, a
// CSV file for spreadsheets and plain text in aligned columns. Each walks every row and
// column of the table (the empty trailing ones included) and writes through a LineSink,
// stopping at the first write that fails; each returns false then.
//
// Texts from the table are written so that they cannot break the document: & < > become
// entities in HTML and XML, characters XML cannot hold become blanks, and the XML declares
// the encoding its bytes are in. The program's own identifier and the date and time of the
// export stand where a maker's web address would.
#pragma once

#include <string>

#include "tabledisplay/egridform.h"
#include "tabledisplay/egridform_sink.h"

namespace egridform {

// Text for HTML: & < > as entities, then the Nordic letters as entities (esmall::ToHtml).
std::string HtmlText(const std::string& text);
// Text for XML content (Windows-1252): & < > as entities, control characters as blanks,
// the five bytes Windows-1252 leaves undefined as character references.
std::string XmlText(const std::string& text);

bool WriteHtml(const Table& table, LineSink& out);

// The encoding name an XML declaration gives for the bytes the sink receives.
inline constexpr char kXmlEncoding[] = "windows-1252";

// The style sheet of the XML document at xmlPath: its file name with the extension
// replaced by ".xsl", without the folder.
std::string StyleSheetName(const std::string& xmlPath);
// Where that style sheet is written: beside the XML document, which names it so.
std::string StyleSheetPath(const std::string& xmlPath);

// The XML document naming styleSheet; a row whose first cell holds " -- " closes one
// "tabell" and opens the next instead of being written.
bool WriteXml(const Table& table, const std::string& styleSheet, LineSink& out);
// The XSL style sheet that shows such a document as HTML tables of the table's columns.
bool WriteXsl(const Table& table, LineSink& out);

// Semicolon-separated, UTF-8 after a byte-order mark, without the blanks around each cell;
// a number with two decimals gets the decimal comma; a field holding ; " or a line break
// is quoted.
bool WriteCsv(const Table& table, LineSink& out);

// The caption, an empty line, then the cells in columns as wide as their widest stored
// text, trailing blanks trimmed (Windows-1252).
bool WriteText(const Table& table, LineSink& out);

}  // namespace egridform
