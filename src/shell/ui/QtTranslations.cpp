#include "shell/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace shellui {

namespace {

// What Qt 6's print and file dialogs show and the catalogue Debian ships (Qt 4's) lacks.
struct Missing {
  const char* context;
  const char* source;
  const char* swedish;
};
constexpr Missing kMissing[] = {
    {"QPrintDialog", "&Options >>", "&Alternativ >>"},
    {"QPrintDialog", "&Options <<", "&Alternativ <<"},
    {"QPrintDialog", "&Print", "&Skriv ut"},
    {"QPrintDialog", "Print to File (PDF)", "Skriv till fil (PDF)"},
    {"QPrintDialog", "Local file", "Lokal fil"},
    {"QPrintDialog", "Write PDF file", "Skriv PDF-fil"},
    {"QPrintDialog", "All Pages", "Alla sidor"},
    {"QPrintDialog", "Odd Pages", "Udda sidor"},
    {"QPrintDialog", "Even Pages", "Jämna sidor"},
    {"QPrintDialog", "Left to Right, Top to Bottom", "Vänster till höger, uppifrån och ned"},
    {"QPrintDialog", "Left to Right, Bottom to Top", "Vänster till höger, nedifrån och upp"},
    {"QPrintDialog", "Right to Left, Bottom to Top", "Höger till vänster, nedifrån och upp"},
    {"QPrintDialog", "Right to Left, Top to Bottom", "Höger till vänster, uppifrån och ned"},
    {"QPrintDialog", "Bottom to Top, Left to Right", "Nedifrån och upp, vänster till höger"},
    {"QPrintDialog", "Bottom to Top, Right to Left", "Nedifrån och upp, höger till vänster"},
    {"QPrintDialog", "Top to Bottom, Left to Right", "Uppifrån och ned, vänster till höger"},
    {"QPrintDialog", "Top to Bottom, Right to Left", "Uppifrån och ned, höger till vänster"},
    {"QPrintWidget", "&Name:", "&Namn:"},
    {"QPrintWidget", "P&roperties", "&Egenskaper"},
    {"QPrintWidget", "Location:", "Plats:"},
    {"QPrintWidget", "Preview", "Förhandsgranska"},
    {"QPrintWidget", "Type:", "Typ:"},
    {"QPrintWidget", "Output &file:", "Utdata&fil:"},
    {"QPrintSettingsOutput", "Copies:", "Kopior:"},
    {"QPrintSettingsOutput", "Current Page", "Aktuell sida"},
    {"QPrintSettingsOutput", "Pages", "Sidor"},
    {"QPrintSettingsOutput", "Page Set:", "Sidurval:"},
    {"QPrintSettingsOutput", "Output Settings", "Utskriftsinställningar"},
    {"QPrintSettingsOutput", "Reverse", "Omvänd ordning"},
    {"QPrintSettingsOutput", "Options", "Alternativ"},
    {"QPrintSettingsOutput", "Color Mode", "Färgläge"},
    {"QPrintSettingsOutput", "Color", "Färg"},
    {"QPrintSettingsOutput", "Grayscale", "Gråskala"},
    {"QPrintSettingsOutput", "Double Sided Printing", "Dubbelsidig utskrift"},
    {"QPrintSettingsOutput", "Off", "Av"},
    {"QPrintSettingsOutput", "Long side binding", "Bindning längs långsidan"},
    {"QPrintSettingsOutput", "Short side binding", "Bindning längs kortsidan"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. "
     "E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Ange sidor eller intervall åtskilda med kommatecken, ett intervall som två tal med bindestreck "
     "emellan. Till exempel skriver 3,5-7,9 ut sidorna 3, 5, 6, 7 och 9."},
    {"QPrintPropertiesDialog", "Printer Properties", "Skrivarens egenskaper"},
    {"QPrintPropertiesDialog", "Job Options", "Jobbalternativ"},
    {"QPrintPropertiesWidget", "Page", "Sida"},
    {"QPrintPropertiesWidget", "Advanced", "Avancerat"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.",
     "Några alternativ går inte ihop. Rätta dem."},
    {"QPageSetupWidget", "Paper", "Papper"},
    {"QPageSetupWidget", "Width:", "Bredd:"},
    {"QPageSetupWidget", "Height:", "Höjd:"},
    {"QPageSetupWidget", "Orientation", "Orientering"},
    {"QPageSetupWidget", "Reverse landscape", "Omvänt liggande"},
    {"QPageSetupWidget", "Reverse portrait", "Omvänt stående"},
    {"QPageSetupWidget", "Margins", "Marginaler"},
    {"QPageSetupWidget", "top margin", "övre marginal"},
    {"QPageSetupWidget", "bottom margin", "nedre marginal"},
    {"QPageSetupWidget", "left margin", "vänster marginal"},
    {"QPageSetupWidget", "right margin", "höger marginal"},
    {"QPageSetupWidget", "Page Layout", "Sidlayout"},
    {"QPageSetupWidget", "Page order:", "Sidordning:"},
    {"QPageSetupWidget", "Pages per sheet:", "Sidor per ark:"},
    {"QPageSetupWidget", "Custom", "Egen"},
    {"QPageSetupWidget", "Millimeters (mm)", "Millimeter (mm)"},
    {"QPageSetupWidget", "Inches (in)", "Tum (in)"},
    {"QPageSetupWidget", "Points (pt)", "Punkter (pt)"},
    {"QFileDialog", "Look in:", "Sök i:"},
    {"QFileDialog", "&New Folder", "&Ny mapp"},
    {"QFileDialog", "&Choose", "&Välj"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Vill du verkligen ta bort '%1'?"},
    {"QFileSystemModel", "Computer", "Dator"},
    {"QAbstractFileIconProvider", "Folder", "Mapp"},
    {"QAbstractFileIconProvider", "Drive", "Enhet"},
};

// The Swedish catalogue Debian ships is Qt 4's: it keeps the standard buttons' texts under
// QDialogButtonBox, where Qt 6 looks for them under the platform theme. What the theme's
// lookup does not find is looked up again under QDialogButtonBox; what Qt 4 never had comes
// from the table above.
class SwedishQtTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;

  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    QString text = QTranslator::translate(context, source, disambiguation, n);
    if (!text.isEmpty() || context == nullptr || source == nullptr) return text;
    if (std::strcmp(context, "QPlatformTheme") == 0 || std::strcmp(context, "QGnomeTheme") == 0)
      return QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
    for (const Missing& missing : kMissing)
      if (std::strcmp(context, missing.context) == 0 && std::strcmp(source, missing.source) == 0)
        return QString::fromUtf8(missing.swedish);
    return text;
  }
};

}  // namespace

bool InstallSwedishQtTexts() {
  auto* texts = new SwedishQtTexts(QCoreApplication::instance());  // goes with the application
  if (!texts->load("qt_sv", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete texts;
    return false;
  }
  return QCoreApplication::installTranslator(texts);
}

}  // namespace shellui
