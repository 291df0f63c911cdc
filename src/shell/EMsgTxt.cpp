#include "shell/EMsgTxt.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"

#include <algorithm>
#include <iterator>

namespace emsgtxt {
namespace {

struct Entry {
  int number;
  const char* text;  // UTF-8, or with kDos the stored bytes themselves
  bool dos = false;
};

constexpr bool kDos = true;

// Sorted by number. The texts with DOS letters are written as escapes of the bytes they
// are stored with: 0x86 is the DOS å, 0x84 the DOS ä, 0x94 the DOS ö.
constexpr Entry kCatalogue[] = {
    {0, "Inget fel!"},
    {1, "Ogiltig DOS-funktionskod"},
    {2, "Hittar ej filen"},
    {3, "Filvägen ej funnen"},
    {4, "För många öppna filer"},
    {5, "Filåtkomst förvägras"},
    {6, "Ogiltigt filnummer"},
    {8, "Otillräckligt minne"},
    {12, "Ogiltig filåtkomstkod"},
    {15, "Ogiltig skivenhet"},
    {16, "Kan ej avlägsna aktuell katalog"},
    {17, "Kan ej göra namnbyte mellan skivenheter"},
    {99, "."},
    {100, "Läsfel på skivan"},
    {101, "Skrivfel p\x86 skivan", kDos},
    {102, "Filen har ej kopplats med Assign"},
    {103, "Filen ej öppen"},
    {104, "Filen ej öppen för läsning"},
    {105, "Filen ej öppen för skrivning"},
    {106, "Ogiltigt numeriskt format"},
    {150, "Skivan är skrivskyddad"},
    {151, "Okänd enhet"},
    {152, "Skivenheten ej redo"},
    {153, "Okänt kommando"},
    {154, "CRC-fel i data"},
    {155, "Fel på anropsstrukturens längd"},
    {156, "Skrivsökfel"},
    {157, "Okänd mediatyp"},
    {158, "Sektor ej funnen"},
    {159, "Inget papper i skrivaren"},
    {160, "Skrivfel"},
    {161, "Läsfel"},
    {162, "Hårdvarufel"},
    {200, "Division med noll"},
    {201, "Gränskontrollfel"},
    {202, "Stack-overflow (spill)"},
    {203, "Heap-overflow (spill)"},
    {204, "Ogiltig pekaroperation"},
    {205, "Flyttals-overflow (spill)"},
    {206, "Flyttals-underflow"},
    {207, "Ogiltig flyttalsoperation"},
    {208, "Overlayhanterare oinstallerad"},
    {209, "Fel vid l\x84sning av overlayfil", kDos},
    {210, "Objektet inte installerat"},
    {211, "Anrop till abstrakt metod"},
    {212, "Stream registrering error"},
    {213, "Collection index utanför gränserna"},
    {214, "Collection overflow"},
    {215, "Aritmetiskt overflow"},
    {216, "Generellt skyddsfel GPfault"},
    {324, "Datafiler saknas/ ej i aktuellt bibliotek"},
    {325, "Filerna öppna...."},
    {326, "Filerna stängda.."},
    {327, "Printerutskrift pågår...."},
    {328, " <Esc> avbryter..."},
    {329, "Printerutskriften klar..!"},
    {330, "Databas ej vald/ datafiler saknas!"},
    // The storage engine's texts; "Btree: " is put in front when looked up.
    {9500, "IOresult=  0"},
    {9900, "Filvägen finns inte!"},
    {9901, "För många filer öppna!"},
    {9902, "Biblioteket fullt"},
    {9903, "Filen ej funnen"},
    {9904, "Ogiltig filbeskrivning"},
    {9905, "Försök att läsa mer än 65535 bytes"},
    {9906, "Försök att skriva mer än 65535 bytes"},
    {10000, "GetPageStack: Storleken av @ är mindre än MaxHeight"},
    {10001, "AddRec: IOerror, reparationen lyckad"},
    {10002, "DeleteRec: IOerror, reparatonen lyckad"},
    {10003, "AddKey: IOerror, lyckad reparation"},
    {10004, "DeleteKey: IOerror, lyckad reparation"},
    {10010, "OpenFileBlock: Indexfilen redan öppen"},
    {10020, "MakeFileBlock: 21<DataStorleken>2147MB"},
    {10030, "OpenFileBlock: Minnet slut"},
    {10040, "MakeFileBlock: Minnet slut"},
    {10050, "MakeFileBlock: 0<@>MaxNrOfKeys"},
    {10055, "MakeFileBlock: @>MaxNrOfKeys"},
    {10060, "OpenFileBlock: Fler än 750 index/fel dosfil"},
    {10070, "Läsning av fel antal bytes"},
    {10075, "Skrivning av fel antal bytes"},
    {10080, "CloseFileBlock: Filen ej öppen"},
    {10090, "MakeFileBlock: Minnet slut"},
    {10100, "OpenFileBlock: Minnet slut"},
    {10120, "OpenFileBlock: Fel KeyLen/PageSize"},
    {10140, "Generellt fel"},
    {10150, "Ogiltigt \"opening mode\""},
    {10160, "CloseFileBlock: Ej korrekt stängd"},
    {10168, "UsedKeys: Ogiltig parameter"},
    {10169, "SearchKeyAndRef: Ogiltig parameter"},
    {10170, "FindKeyAndRef: Ogiltig parameter"},
    {10171, "ClearKey: Ogiltig parameter"},
    {10172, "NextKey: Ogiltig parameter"},
    {10173, "PrevKey: Ogiltig parameter"},
    {10174, "FindKey: Ogiltig parameter"},
    {10175, "SearchKey: Ogiltig parameter"},
    {10176, "KeyExists: Ogiltig parameter"},
    {10177, "NextDiffKey: Ogiltig parameter"},
    {10178, "AddKey: Ogiltig parameter"},
    {10179, "DeleteKey: Ogiltig parameter"},
    {10180, "Reparationsförsöket misslyckades"},
    {10190, "IsamExtendHandles: Endast DOS-3.3 och senare"},
    {10191, "IsamExtendHandles: Minnet slut"},
    {10192, "IsamExtendHandles: DOSerror"},
    {10193, "PutRec: F\x94rs\x94k att skriva record noll", kDos},
    {10194, "UndeleteRec: Posten ej tidigare raderad"},
    {10200, "FindKey: Ej funnen"},
    {10205, "GetNetRecReadOnly: Posten låst"},
    {10210, "SearchKey: Ej funnen"},
    {10220, "DeleteKey: Ej funnen"},
    {10230, "AddKey: Existerar redan som unik"},
    {10240, "NextDiffKey: Ej funnen"},
    {10245, "PrevDiffKey: Ej funnen"},
    {10250, "NextKey: Finns ej"},
    {10255, "NextKey: Sekvensiellt anrop ej tillåten"},
    {10260, "PrevKey: Finns ej"},
    {10265, "PrevKey: Sekevensiellt anrop ej tillåten"},
    {10270, "FindKeyAndRef: Ej funnen"},
    {10310, "InitIsam:"},
    {10315, "ExitIsam:"},
    {10322, "CloseFileBlock: Misslyckat försök att avlägsna läslåset"},
    {10330, "LockFileBlock: Misslyckat försök att låsa filblock"},
    {10400, "Rebuild: Kan ej finna filen"},
    {10401, "Rebuild: Minnesbrist för interna buffertar"},
    {10402, "Rebuild: Dataposten större än 65535"},
    {10410, "Reorg: Kan ej finna filen"},
    {10411, "Reorg: Minnesbrist för interna buffertar"},
    {10412, "Reorg: Dataposten större än 65535"},
};

constexpr int kStorageFirst = 9500;
constexpr int kStorageLast = 10499;

bool IsStorageNumber(int n) { return n >= kStorageFirst && n <= kStorageLast; }

}  // namespace

std::string msgtext(int n) {
  const auto* end = std::end(kCatalogue);
  const auto* found = std::lower_bound(std::begin(kCatalogue), end, n,
                                       [](const Entry& e, int number) { return e.number < number; });
  std::string text;
  if (found != end && found->number == n) {
    text = found->dos ? std::string(found->text) : A(found->text);
  } else if (IsStorageNumber(n)) {
    text = "errornr=" + esmall::BlankPadded(n, 6);
  } else {
    return A("Okänt nummer i msgtextanrop= ") + std::to_string(n);
  }
  return IsStorageNumber(n) ? "Btree: " + text : text;
}

}  // namespace emsgtxt
