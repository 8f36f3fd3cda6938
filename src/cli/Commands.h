// brisella-cli commands. Each returns the process exit status: 0 success, 1 failure (message
// on standard error), 2 wrong usage (usage text on standard error).
#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>

#include <vector>

namespace bb {
struct AddressList;
class CardDocument;
struct MergeRun;
struct RenderContext;
class UserDialogs;
}  // namespace bb

namespace bb::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;                    // one line: arguments after the command name
    int (*run)(const QStringList& args);  // args after the command name
};

// Every command; main() dispatches on the first argument.
const std::vector<Command>& commands();

// Writes "error: <text>" style failure lines to standard error.
void printError(const QString& text);
int usageError(const Command& cmd, const QString& why);
// "cannot write PATH: reason" on standard error, the reason from the system's error number
// (none when `error` is 0).
void printWriteError(const QString& path, int error);
// Writes `bytes` to `path` whole or not at all; false after printWriteError.
bool writeOutput(const QString& path, const QByteArray& bytes);
// The table entry of a command by its name.
const Command& findCommand(const char* name);

// A command's arguments: "NAME VALUE" options, bare flags and the rest in order.
struct ParsedArgs {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
    QString error;         // not empty when the arguments are wrong
    QString missingValue;  // the option that lacks its value, when that is the error
    QString value(const QString& name) const { return values.value(name); }
    bool has(const QString& name) const { return values.contains(name) || flags.contains(name); }
};
// What a value option given twice means: wrong usage, or the last value wins (print, whose
// callers may add to a fixed set of arguments).
enum class Repeats { Refused, LastWins };
// Options in `valueOptions` take the next argument, those in `flagOptions` stand alone; any
// other argument starting with "-" is an error, as is (unless `repeats` allows it) an option
// given twice.
ParsedArgs parseArgs(const QStringList& args, const QStringList& valueOptions,
                     const QStringList& flagOptions = {}, Repeats repeats = Repeats::Refused);
// "outside" → 0, "inside" → 1, anything else → -1.
int sideFromName(const QString& name);
// Opens a card as the program does (messages of missing pictures on standard error); false
// with the failure on standard error.
bool openCard(CardDocument& doc, const QString& path, RenderContext& ctx, UserDialogs& dialogs);

// The address list of --merge and its rows of --rows (every row when empty), `copies` cards
// of each; its columns mapped to the address fields by their usual names, or as `mapText`
// (--map "Vorname=Rufname,PLZ=Zip") says. False with the failure on standard error.
bool loadMerge(const QString& listPath, const QString& rowsSpec, int copies, MergeRun& merge,
               const QString& mapText = {});
// Names on standard error the fields of the card that the list has no column for.
void warnMissingFields(const CardDocument& doc, const AddressList& list);

// convert IN OUT [--format NAME] [--quality Q] (CmdConvert.cpp)
int runConvert(const QStringList& args);
// designs [--occasion NAME] [-o DIR]: the designs, one JSON object a line (CmdDesigns.cpp)
int runDesigns(const QStringList& args);
// make-designs DESCRIPTION OUTDIR: draws the shipped designs (CmdDesigns.cpp)
int runMakeDesigns(const QStringList& args);
// envelopes --merge LIST --size ID [--window] [--sender FILE] [--template FILE] (--pdf OUT |
// --printer NAME) [--layout]: one envelope per chosen row (CmdEnvelopes.cpp)
int runEnvelopes(const QStringList& args);
// export CARD.kar --side outside|inside -o OUT [--format NAME] [--merge LIST --name-column C]
// (CmdExport.cpp)
int runExport(const QStringList& args);
// info CARD.kar: the card file's data as one JSON object (CmdInfo.cpp)
int runInfo(const QStringList& args);
// labels --merge LIST --sheet ID ... (--pdf OUT.pdf | --printer NAME): address labels
// (CmdLabels.cpp)
int runLabels(const QStringList& args);
// merge-fields CARD.kar [--merge LIST [--map F=C,...]]: the card's fields as JSON
// (CmdMerge.cpp)
int runMergeFields(const QStringList& args);
// ornaments [-o DIR]: the program's ornaments as JSON lines, with -o as SVG files
// (CmdOrnaments.cpp)
int runOrnaments(const QStringList& args);
// pdf CARD.kar OUT.pdf [--layout folded|sides] [--crop-marks] [--bleed MM] [--dpi N]: the card
// as a PDF file (CmdPdf.cpp)
int runPdf(const QStringList& args);
// print CARD.kar --side outside|inside ... (CmdPrint.cpp)
int runPrint(const QStringList& args);
// render CARD.kar --side outside|inside --dpi N -o OUT.png (CmdRender.cpp)
int runRender(const QStringList& args);
// resave CARD.kar -o NEW.kar [--copy-pictures]: opens and saves as the program does
// (CmdResave.cpp)
int runResave(const QStringList& args);

// samples OUTDIR: the sample cards and their pictures (CmdSamples.cpp)
int runSamples(const QStringList& args);

// scan --device NAME -o OUT [--dpi N] [--mode Color|Gray] (CmdScan.cpp)
int runScan(const QStringList& args);

// thumbnail CARD.kar -o OUT.png [-s SIZE]: the card browser's thumbnail (CmdThumbnail.cpp)
int runThumbnail(const QStringList& args);

// verses [--occasion NAME] [--tone NAME] [--search WORD]: the greeting texts as JSON lines
// (CmdVerses.cpp)
int runVerses(const QStringList& args);

}  // namespace bb::cli
