// The commands of brisella-cli, one line each: {"name", "arguments", &runName}, with runName
// declared in Commands.h and defined in CmdName.cpp.
#include "cli/Commands.h"

namespace bb::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        // commands, alphabetical
        {"convert", "IN OUT [--format NAME] [--quality Q]", &runConvert},
        {"designs", "[--occasion NAME] [-o DIR (writes the listed designs with their pictures)]",
         &runDesigns},
        {"envelopes",
         "--merge LIST.csv|LIST.vcf [--rows 1-20] [--map FIELD=COLUMN,...] "
         "--size C6|DL|C5|C6/5|B6|Q155|US10|A7 "
         "[--window] [--sender FILE (UTF-8, one line each; a line \"Land: NAME\" gives the "
         "country)] [--template FILE (default: {Anrede} / {Vorname} {Nachname} / {Straße} / "
         "{PLZ} {Ort} / {Land})] (--pdf OUT.pdf | --printer NAME [--wait SECONDS]) [--layout "
         "(one JSON line per envelope; alone, nothing is printed)] [--feed "
         "long|short,up|down,centre|left|right[,head|tail] (how the envelope goes in; head: its "
         "top or left edge first)] [--a4 (drawn where the envelope lies on an A4 sheet)]",
         &runEnvelopes},
        {"export",
         "CARD.kar --side outside|inside -o OUT [--format NAME] "
         "[--merge LIST.csv|LIST.vcf [--rows 1-20] [--name-column COLUMN] "
         "[--map FIELD=COLUMN,... (which column fills a field; the rest by their usual names)] "
         "(OUT is a folder; --side both: two pictures per row)]",
         &runExport},
        {"info", "CARD.kar", &runInfo},
        {"labels",
         "--merge LIST.csv|LIST.vcf [--rows 1-20] [--map FIELD=COLUMN,...] --sheet ID|custom "
         "[--used N] [--copies N "
         "(of each row)] [--template FILE (UTF-8 text with {Vorname} and the like; default: "
         "Anrede, name, street, postcode and town, country)] (--pdf OUT.pdf | --printer NAME "
         "[--wait SECONDS]); --sheet custom takes --label WxH --margins LEFT,TOP "
         "--pitch ACROSS,DOWN --grid COLUMNSxROWS (millimetres, A4)",
         &runLabels},
        {"make-designs", "DESCRIPTION.json OUTDIR (build tool: draws the shipped designs)",
         &runMakeDesigns},
        {"merge-fields",
         "CARD.kar [--merge LIST.csv|LIST.vcf [--map FIELD=COLUMN,... (e.g. Vorname=Rufname; "
         "an empty COLUMN leaves the field unfilled)]]",
         &runMergeFields},
        {"ornaments", "[-o DIR (writes every ornament as NAME.svg)]", &runOrnaments},
        {"pdf",
         "CARD.kar OUT.pdf [--layout folded|sides (default: folded, outside and inside pages)] "
         "[--crop-marks] [--bleed MM (e.g. 3)] [--dpi N (pictures; default 300)]",
         &runPdf},
        {"print",
         "(CARD.kar --side outside|inside|both | --alignment-sheet) [--copies N] [--used N] "
         "[--cut] [--fold] [--calibration FILE] [--pdf OUT.pdf | --printer NAME] "
         "[--paper A4|Letter|... (default: the card type's)] [--orientation portrait|landscape] "
         "[--dpi N] [--layout] [--flip long|short | --turn-sheets] [--quarter-fold]"
         " [--wait SECONDS (for a printer's queue to finish the job; default 120)]"
         " [--merge LIST.csv|LIST.vcf [--rows 1-20] [--map FIELD=COLUMN,...] (--copies per row)]",
         &runPrint},
        {"render", "CARD.kar --side outside|inside --dpi N -o OUT.png", &runRender},
        {"resave", "CARD.kar -o NEW.kar [--copy-pictures]", &runResave},
        {"samples", "OUTDIR", &runSamples},
        {"scan", "--device NAME -o OUT [--dpi N] [--mode Color|Gray]", &runScan},
        {"thumbnail", "CARD.kar -o OUT.png [-s SIZE]", &runThumbnail},
        {"verses", "[--occasion NAME] [--tone NAME] [--search WORD]", &runVerses},
    };
    return table;
}

}  // namespace bb::cli
