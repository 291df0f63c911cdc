// bfnolk: the command-line face of the bookkeeping program. Global options move the
// configuration and data folders and set the clock for one run; each command runs one logic
// operation, whole whatever signal comes meanwhile, and ends with the status line on standard
// error when it has news.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/bfnolk_books.h"
#include "app/bfnolk_database.h"
#include "app/bfnolk_exchange.h"
#include "app/bfnolk_print.h"
#include "app/bfnolk_registers.h"
#include "app/bfnolk_session.h"
#include "app/bfnolk_show.h"
#include "app/bfnolk_signals.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"

namespace {

constexpr int kUsageError = 2;

const char kGlobalOptions[] = "[--config-dir KATALOG] [--data-dir KATALOG] [--now \"ÅÅÅÅ-MM-DD TT:MM:SS\"]";

// What follows the line "användning: bfnolk OPTIONS KOMMANDO ...".
const char kUsage[] =
    "\n"
    "kommandon:\n"
    "  config show          visar inställningarna (datakatalog, etikett- och\n"
    "                       rapportinställning, skrivare, typsnitt, marginaler)\n"
    "  config reset [--yes] återställer alla inställningar till standardvärden\n"
    "\n"
    "  init [--yes]         ny tom lista över bokföringar; finns det redan bokföringar\n"
    "                       frågar den först, eftersom deras filer förstörs\n"
    "  list [--json]        de åtta platserna: nummer, namn, period, verifikationer, tillstånd\n"
    "  new --name N --from ÅÅÅÅ-MM-DD --to ÅÅÅÅ-MM-DD [--group K=DEF]...\n"
    "                       ny bokföring; --group K=DEF: summagrupp K 1..8 får kontona i\n"
    "                       DEF (nummer och intervall, t.ex. 3=3000..3999,4010), K 0 är\n"
    "                       namnet på gruppen för övriga konton\n"
    "  change NR [--name N] [--from D] [--to D] [--group K=DEF]... [--group-accounts K=KONTO,...]...\n"
    "                       ändrar bokföringens uppgifter; --group-accounts väljer summagrupp K:s\n"
    "                       konton som ur kontolistan (högst 13 befintliga konton)\n"
    "  select NR            väljer bokföring NR (kommer ihåg valet)\n"
    "  delete NR [--yes]    raderar bokföring NR med dess filer\n"
    "  copy                 kopierar vald bokföring till en ny plats\n"
    "  backup KATALOG       säkerhetskopierar vald bokföring till KATALOG\n"
    "  restore KATALOG [--nr NR] [--registers]\n"
    "                       återställer en säkerhetskopia till en ledig plats (kontrolleras\n"
    "                       först; --registers tar med betalningsregistren)\n"
    "  reset [--yes]        årsskifte: tömmer verifikationerna, för över saldona\n"
    "  rebuild              bygger om vald bokföring: filerna omorganiseras, alla\n"
    "                       summor räknas om från ingående balanser och verifikationer\n"
    "\n"
    "  account list [--json] | account show NR [--json]\n"
    "                       visar kontoplanen eller ett konto med saldon\n"
    "  account add NR --name N [--ref R] [--sign +|-] [--opening BELOPP] [--budget BELOPP]\n"
    "                       nytt konto (som kontoregistret: högst 254 konton; tecknet\n"
    "                       +, -, = eller blank; --ref är kontots referens)\n"
    "  account change NR [--number NYTT] [--name N] [--ref R] [--sign S] [--opening B] [--budget B]\n"
    "                       ändrar kontot; --number ger det ett nytt nummer\n"
    "  account delete NR    raderar kontot när det är nollställt\n"
    "  ver add --text T [--date ÅÅÅÅ-MM-DD] KONTO:SIDA:BELOPP ...\n"
    "                       bokför raderna (SIDA + debet, - kredit); sparas bara om\n"
    "                       verifikationen balanserar, annars tas raderna bort igen\n"
    "  ver play FIL.ver [--text T] [--amount RAD=BELOPP]...\n"
    "                       spelar in en verifikationsmall som fönstret gör; rader med\n"
    "                       beloppet 0 får sitt belopp med --amount (rad 1 = mallens första\n"
    "                       rad); sparas bara om verifikationen balanserar; mallen får\n"
    "                       vara sparad i Windows-1252 eller UTF-8\n"
    "  ver list [--json] | ver show NR [--json]\n"
    "                       visar verifikationerna eller en verifikation med dess rader\n"
    "  verify               kontrollerar att vald bokföring stämmer och att etikett- och\n"
    "                       girofilerna i datakatalogen är hela; skriver ett fel en rad\n"
    "                       (slutstatus 0 = allt stämmer, 1 = fel funna)\n"
    "  print RAPPORT [--accounts LISTA] [--vers LISTA] [--to FIL.txt|FIL.pdf|-]\n"
    "          [--printer NAMN] [--format json]\n"
    "                       RAPPORT: huvudbok, grundbok, kontoplan, saldolista, resultat,\n"
    "                       balans, summagrupper, grafiskt; LISTA: nummer och intervall\n"
    "                       (1000-1999,3010), utan lista alla. Skriver rapporten som text\n"
    "                       (96 kolumner, 64 rader en sida), som PDF (--to FIL.pdf), på en\n"
    "                       skrivare systemet har (--printer, \"PDF-fil\" skriver i\n"
    "                       utbyteskatalogen) eller dess innehåll som JSON (--format json)\n"
    "  show ledger KONTO|journal VERNR [--format text|csv|html|xml|pdf|jpg] [--to FIL|-]\n"
    "                       huvudboken för ett konto eller grundboken för en verifikation\n"
    "                       som tabellfönstret visar den; utan --format väljer filnamnets\n"
    "                       ändelse, annars text; xml, pdf och jpg skrivs bara till en fil\n"
    "  export plan|ver FIL  skriver kontoplanen eller verifikationerna som .bfr-fil\n"
    "  export sie FIL [--checksum]\n"
    "                       skriver bokföringen som SIE 4E (konton, balanser, verifikationer),\n"
    "                       med --checksum inramad av #KSUMMA med filens kontrollsumma\n"
    "  import plan FIL --balance opening|closing\n"
    "                       läser in en kontoplan; filens ingående (opening) eller utgående\n"
    "                       (closing) balans blir ny ingående balans; en fil med fel ändrar inget;\n"
    "                       filen får vara sparad i Windows-1252 eller UTF-8\n"
    "  import sie FIL [--new]\n"
    "                       läser en SIE-fil (4E/4I, PC8 eller Windows-tecken) in i vald bokföring\n"
    "                       när den saknar verifikationer, med --new i en ny; en fil med fel\n"
    "                       eller fel #KSUMMA ändrar inget, inte heller ett avbrott\n"
    "\n"
    "  label add --line TEXT [--line TEXT]... | --picture FIL\n"
    "                       ny etikett (högst 240 tecken; nyckeln är första raden)\n"
    "  label change NYCKEL --line TEXT... | --picture FIL\n"
    "                       byter etikettens text eller bild\n"
    "  label delete NYCKEL | label list [--json]\n"
    "                       raderar en etikett | visar etiketternas nycklar\n"
    "  label print [NYCKEL]... [--copies N] [--setting N] [--to FIL.txt|FIL.pdf|-] [--printer NAMN]\n"
    "                       skriver etiketterna (alla utan nyckel) enligt aktuell\n"
    "                       etikettinställning (eller nr N), N kopior av varje\n"
    "  giro SORT add --payee NAMN [--littera L] [--account1 NR] [--account2 NR] [--number3 NR]\n"
    "                       [--amount KRONOR] [--message TEXT] [--sender TEXT]\n"
    "                       ny giroblankett; SORT plus, post, bank (eller sortens nummer\n"
    "                       0..4); nyckeln är mottagare_littera; gironumren kontrolleras\n"
    "                       (modulus 10)\n"
    "  giro SORT change NYCKEL [fält som vid add] | giro SORT delete NYCKEL | giro SORT list [--json]\n"
    "                       ändrar, raderar eller visar blanketterna av sorten\n"
    "  giro SORT print NYCKEL [--copies N] [--setting N] [--to FIL.txt|FIL.pdf|-] [--printer NAMN]\n"
    "                       skriver blanketten, en per etikett i aktuell etikettinställning\n"
    "                       (eller nr N; nr 10 \"Giroblanketter\" har en blankett per sida)\n"
    "\n"
    "  --config-dir KATALOG  konfigurationsfilen läses och skrivs i KATALOG\n"
    "  --data-dir KATALOG    datakatalog för denna körning (sparas inte; init skapar den)\n"
    "  --now \"ÅÅÅÅ-MM-DD TT:MM:SS\"\n"
    "                        klockan står på den tiden hela körningen (dagens datum i ver add,\n"
    "                        månadssummornas månad), så att utskriften blir densamma varje gång\n"
    "\n"
    "exempel:\n"
    "  bfnolk config show\n"
    "  bfnolk init --yes\n"
    "  bfnolk new --name Hemmet --from 2026-01-01 --to 2026-12-31\n"
    "  bfnolk --data-dir ~/bok list --json\n"
    "  bfnolk account add 1930 --name Bank --sign + --opening 1000.00\n"
    "  bfnolk ver add --text Lön 1930:+:25000.00 3010:-:25000.00\n"
    "  bfnolk --now '2026-03-01 12:00:00' ver add --text Hyra 1930:-:5000.00 5010:+:5000.00\n"
    "  bfnolk show ledger 1930 --to huvudbok.pdf\n"
    "  bfnolk --now '2026-03-25 08:00:00' ver play lon.ver --amount 2=4100.00\n"
    "  bfnolk --now '2026-06-30 12:00:00' print resultat --accounts 3000-8999\n"
    "  bfnolk print huvudbok --accounts 1930 --to huvudbok.pdf\n"
    "  bfnolk label add --line 'Kassören' --line 'Storgatan 1' --line '123 45 Ort'\n"
    "  bfnolk giro plus add --payee Elverket --account1 18 --amount 250\n"
    "  bfnolk --config-dir /tmp/prov config reset --yes\n"
    "\n"
    "Med --yes svarar kommandot ja på sin fråga; utan --yes och utan terminal är svaret\n"
    "nej. --json skriver resultatet som JSON, för skript. --help efter ett kommando visar\n"
    "bara kommandots del av hjälpen.\n"
    "slutstatus: 0 klart, 1 vägrat eller avböjt, 2 fel i kommandoraden\n";

void PrintUsage(std::ostream& out) {
  out << "användning: bfnolk " << kGlobalOptions << " KOMMANDO ...\n" << kUsage;
}

// The lines of the usage that describe command, with their continuation lines and the
// examples that use it.
void PrintCommandHelp(const std::string& command, std::ostream& out) {
  std::istringstream lines(kUsage);
  std::string line;
  bool inCommand = false;
  out << "användning: bfnolk " << kGlobalOptions << " " << command << " ...\n\n";
  std::string examples;
  while (std::getline(lines, line)) {
    if (line.rfind("  " + command + " ", 0) == 0 || line == "  " + command) {
      inCommand = true;
    } else if (inCommand && line.rfind("          ", 0) == 0) {
      // a continuation line
    } else {
      inCommand = false;
    }
    if (inCommand) out << line << "\n";
    if (line.find("bfnolk " + command + " ") != std::string::npos ||
        line.find("' " + command + " ") != std::string::npos)
      examples += line + "\n";
  }
  if (!examples.empty()) out << "\nexempel:\n" << examples;
}

// Takes the value of an option that needs one; false when it is missing.
bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value) {
  if (i + 1 >= args.size() || args[i + 1].empty()) return false;
  value = args[++i];
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bfnolk::TerminationDeferral deferral;
  bfnolk::InterruptibleQuestions terminal(eerror::ConsoleMessageBoxes::Standard());
  const eerror::ScopedMessageBoxes questions(terminal);
  const std::vector<std::string> args(argv + 1, argv + argc);
  ekonfig::KonfigPaths paths;
  std::string now;
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    const std::string& option = args[i];
    if (option == "--help") {
      PrintUsage(std::cout);
      return 0;
    }
    std::string* target = option == "--config-dir" ? &paths.configDir
                          : option == "--data-dir" ? &paths.dataDir
                          : option == "--now"      ? &now
                                                   : nullptr;
    if (target == nullptr || !TakeValue(args, i, *target)) {
      std::cerr << "bfnolk: okänd eller ofullständig flagga " << option << "\n";
      PrintUsage(std::cerr);
      return kUsageError;
    }
  }
  if (i >= args.size()) {
    PrintUsage(std::cerr);
    return kUsageError;
  }
  etider::DateTime nowRead;
  if (!now.empty() && !etider::ParseDateTime(now, nowRead)) {
    std::cerr << "bfnolk: --now " << now << " är ingen tidpunkt; skriv \"ÅÅÅÅ-MM-DD TT:MM:SS\" "
              << "med ett datum och en tid som finns, t.ex. \"2026-03-01 12:00:00\"\n";
    return kUsageError;
  }
  // Everything that reads the date reads this clock, until the run ends.
  const etider::SetClock fixedClock(nowRead);
  std::optional<etider::ScopedClock> runClock;
  if (!now.empty()) runClock.emplace(fixedClock);
  std::error_code error;
  if (!paths.dataDir.empty() && std::filesystem::exists(paths.dataDir, error) &&
      !std::filesystem::is_directory(paths.dataDir, error)) {
    std::cerr << "bfnolk: --data-dir " << paths.dataDir << " är ingen katalog\n";
    return kUsageError;
  }
  const std::string command = args[i];
  const std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
  ekonfig::SetKonfigPaths(paths);
  for (const std::string& word : rest)
    if (word == "--help") {
      PrintCommandHelp(command, std::cout);
      return 0;
    }
  if (bfnolk::IsDatabaseCommand(command)) return bfnolk::DatabaseCommand(command, rest);
  if (bfnolk::IsBooksCommand(command)) return bfnolk::BooksCommand(command, rest);
  if (bfnolk::IsPrintCommand(command)) return bfnolk::PrintCommand(rest);
  if (bfnolk::IsRegisterCommand(command)) return bfnolk::RegisterCommand(command, rest);
  if (bfnolk::IsShowCommand(command)) return bfnolk::ShowCommand(rest);
  if (bfnolk::IsExchangeCommand(command)) return bfnolk::ExchangeCommand(command, rest);
  if (command == "config") {
    const int code = ekonfig::KonfigCommand(rest, std::cout, std::cerr);
    bfnolk::PrintStatus();
    return code;
  }
  std::cerr << "bfnolk: okänt kommando " << command << "\n";
  PrintUsage(std::cerr);
  return kUsageError;
}
