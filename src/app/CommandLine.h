#pragma once
// The program's command line, read before the application object exists, so
// --help, --version and a mistyped option answer on a terminal without a
// display. The options live in one table (CommandLine.cpp): an option is one
// row there, with its usage lines and what it sets in CommandLine. The PDF
// export is asked here like everything else, so it honours the same data
// folder and refuses the same mistakes.

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLine
{
    enum class Action
    {
        Run,              // start the program
        ShowHelp,         // print UsageText() on standard output, exit 0
        ShowVersion,      // print VersionText() on standard output, exit 0
        Fail,             // print error and UsageText() on standard error, exit 2
        ExportPdf,        // write the slip of the data folder to pdfFile, exit
        ExportInvoicePdf, // write the slip's invoice sheet to pdfFile, exit
        ExportHistory,    // write the history of historyFrom .. historyTo to historyFile, exit
        ImportCheck,      // check the orders of importFile, one line each on standard output, exit
        ImportPdf,        // write the ready orders' slips of importFile to pdfFile, exit
    };
    Action action = Action::Run;
    // The folder to work in (created if missing); empty keeps the working
    // directory the program was started in.
    QString dataDir;
    // The file --pdf or --invoice-pdf names, as written; set when action is
    // ExportPdf or ExportInvoicePdf.
    QString pdfFile;
    bool invoice = false; // the file was named by --invoice-pdf
    // --export-history FROM TO FILE as written (the dates are read by the
    // export, which tells a bad one), and --cp932 for that encoding.
    QString historyFrom, historyTo, historyFile;
    bool cp932 = false;
    // --import FILE as written, and --check.
    QString importFile;
    bool check = false;
    // What was wrong, in Japanese and English, when action is Fail.
    QString error;
};

// Reads the arguments after the program name. Options take their value as
// the next argument or after "=" (--data-dir DIR, --data-dir=DIR); an option
// is never taken as the value. The toolkit's own options (-style, -platform,
// -session, ...) are let through for the application object.
//
// The outcome, in this order: --help or --version answer, whichever comes
// first, whatever else is on the line; then an unknown option, a stray
// argument or a switch given a value is a Fail (the first one is named), so a
// typo in a script never passes unnoticed, --pdf or not; then an option that
// lacks its value is a Fail; then --import with --check is an ImportCheck,
// with --pdf an ImportPdf (and with neither, or with both, or --check
// without --import, a Fail); then --pdf is an ExportPdf, --export-history
// (which takes three values: FROM TO FILE) an ExportHistory, and anything
// else a Run.
CommandLine ParseCommandLine(const QStringList &arguments);

// The file --pdf names, made absolute against startDir, the directory the
// program was started in: a relative FILE is never taken inside the data
// folder.
QString PdfFilePath(const CommandLine &commandLine, const QString &startDir);

// The file --export-history names, made absolute against startDir as for
// --pdf.
QString HistoryFilePath(const CommandLine &commandLine, const QString &startDir);

// The file --import names, made absolute against startDir as for --pdf.
QString ImportFilePath(const CommandLine &commandLine, const QString &startDir);

// The arguments after the program name, as the system's text.
QStringList ArgumentsOf(int argc, const char *const *argv);

// Does what the command line asks before the application object is made:
// prints the help or the version (exit code 0), or the error and the usage
// (exit code 2), or enters the data folder (exit code 1 when it cannot), for
// the window and the PDF export alike. An exit code means the program ends
// here with it; nullopt means it goes on.
std::optional<int> ApplyCommandLine(const CommandLine &commandLine);

// The usage in Japanese and English, ending in a newline.
QString UsageText();

// "vuzo_vez_1 <version>", ending in a newline.
QString VersionText();

// The user's data folder: $XDG_DATA_HOME/vuzo_vez_1, normally
// ~/.local/share/vuzo_vez_1. The menu entry starts the program there.
QString UserDataFolder();

// Creates dir when it is missing and makes it the working directory. False,
// with a message in Japanese and English, when that cannot be done.
bool EnterDataFolder(const QString &dir, QString *error);
