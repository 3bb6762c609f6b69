#include "app/CommandLine.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kProgram = u"vuzo_vez_1"_s;

// One option of the program: its spellings, the name of its value (empty for
// a switch), one usage line in each language, and what it does. An option of
// several values names them all in valueName and takes them with applyAll.
struct Option
{
    QStringList names;
    QString valueName;
    QString japanese;
    QString english;
    std::function<void(CommandLine &, const QString &value)> apply;
    int valueCount = 1;
    std::function<void(CommandLine &, const QStringList &values)> applyAll = {};
};

// --help and --version both given: the first one answers, as it is the one
// the user typed first; the later one is not an error.
void answer(CommandLine &c, CommandLine::Action action)
{
    if (c.action == CommandLine::Action::Run)
        c.action = action;
}

const std::vector<Option> &Options()
{
    static const std::vector<Option> options = {
        {{u"--data-dir"_s},
         u"DIR"_s,
         u"DIR で作業します（なければ作ります）"_s,
         u"work in DIR (created if missing)"_s,
         [](CommandLine &c, const QString &value) { c.dataDir = value; }},
        {{u"--user-data"_s},
         {},
         u"ユーザーのデータフォルダ（~/.local/share/vuzo_vez_1）で作業します"_s,
         u"work in the user's data folder ($XDG_DATA_HOME/vuzo_vez_1)"_s,
         [](CommandLine &c, const QString &) { c.dataDir = UserDataFolder(); }},
        {{u"--pdf"_s},
         u"FILE"_s,
         u"データフォルダに保存されている伝票を FILE に PDF で書き出して終了します（画面は不要）"_s,
         u"write the slip saved in the data folder to FILE as a PDF and exit (no display needed)"_s,
         [](CommandLine &c, const QString &value) {
             c.pdfFile = value;
             c.invoice = false;
         }},
        {{u"--invoice-pdf"_s},
         u"FILE"_s,
         u"保存されている伝票の納品書兼請求書を FILE に PDF で書き出して終了します（画面は不要）"_s,
         u"write the saved slip's delivery note and invoice to FILE as a PDF and exit (no display needed)"_s,
         [](CommandLine &c, const QString &value) {
             c.pdfFile = value;
             c.invoice = true;
         }},
        {{u"--export-history"_s},
         u"FROM TO FILE"_s,
         u"FROM から TO まで（YYYY-MM-DD）に印刷した伝票の履歴を FILE に CSV で書き出して終了します（画面は不要）"_s,
         u"write the slips printed from FROM to TO (YYYY-MM-DD) to FILE as CSV and exit (no display needed)"_s,
         {},
         3,
         [](CommandLine &c, const QStringList &values) {
             c.historyFrom = values.at(0);
             c.historyTo = values.at(1);
             c.historyFile = values.at(2);
         }},
        {{u"--import"_s},
         u"FILE"_s,
         u"注文ファイル FILE（CSV・TSV）を読み、--check で注文ごとの確認結果を表示、--pdf OUT で問題のない注文の伝票を"
         u"書き出して終了します（画面は不要）"_s,
         u"read the order file FILE (CSV or TSV); with --check list each order's problems, with --pdf OUT write the "
         u"slips of the orders without one, and exit (no display needed)"_s,
         [](CommandLine &c, const QString &value) { c.importFile = value; }},
        {{u"--check"_s},
         {},
         u"--import の注文を確かめ、1注文1行のタブ区切りで表示します（問題がなければ終了コード 0）"_s,
         u"check the orders of --import, one tab-separated line each (exit code 0 when none has a problem)"_s,
         [](CommandLine &c, const QString &) { c.check = true; }},
        {{u"--cp932"_s},
         {},
         u"--export-history の CSV を Shift_JIS（CP932）で書きます（既定は BOM 付き UTF-8）"_s,
         u"write the --export-history CSV in CP932 (UTF-8 with a BOM by default)"_s,
         [](CommandLine &c, const QString &) { c.cp932 = true; }},
        {{u"-h"_s, u"--help"_s},
         {},
         u"この説明を表示して終了します"_s,
         u"show this help and exit"_s,
         [](CommandLine &c, const QString &) { answer(c, CommandLine::Action::ShowHelp); }},
        {{u"--version"_s},
         {},
         u"版数を表示して終了します"_s,
         u"show the version and exit"_s,
         [](CommandLine &c, const QString &) { answer(c, CommandLine::Action::ShowVersion); }},
    };
    return options;
}

// The toolkit's own options, which the application object reads and removes;
// a session manager restarts the program with -session, for one.
bool IsToolkitOption(const QString &name, bool *takesValue)
{
    static const QStringList withValue = {
        u"platform"_s,        u"platformpluginpath"_s,
        u"platformtheme"_s,   u"plugin"_s,
        u"qwindowgeometry"_s, u"qwindowicon"_s,
        u"qwindowtitle"_s,    u"session"_s,
        u"display"_s,         u"name"_s,
        u"geometry"_s,        u"style"_s,
        u"stylesheet"_s,
    };
    static const QStringList switches = {u"reverse"_s, u"widgetcount"_s, u"nograb"_s,
                                         u"dograb"_s,  u"sync"_s,        u"qmljsdebugger"_s};
    QString bare = name;
    bare.remove(0, bare.startsWith(u"--"_s) ? 2 : 1);
    *takesValue = withValue.contains(bare);
    return *takesValue || switches.contains(bare);
}

CommandLine Failure(const QString &japanese, const QString &english)
{
    CommandLine c;
    c.action = CommandLine::Action::Fail;
    c.error = japanese + u"\n"_s + english + u"\n"_s;
    return c;
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine result;
    // --help and --version win over everything else on the line: a word the
    // program does not know fails only when neither is given (the first such
    // word is the one named), and so does an option without its value.
    std::optional<CommandLine> unknown;
    std::optional<CommandLine> missingValue;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.startsWith(u'-') && equals > 0 ? argument.left(equals) : argument;
        const bool inlineValue = name.size() != argument.size();

        const Option *option = nullptr;
        for (const Option &candidate : Options()) {
            if (candidate.names.contains(name))
                option = &candidate;
        }
        if (!option) {
            bool takesValue = false;
            if (argument.startsWith(u'-') && IsToolkitOption(name, &takesValue)) {
                if (takesValue && !inlineValue)
                    ++i;
                continue;
            }
            if (!unknown)
                unknown = argument.startsWith(u'-')
                              ? Failure(u"不明なオプションです: "_s + argument, u"unknown option: "_s + argument)
                              : Failure(u"余計な引数です: "_s + argument, u"unexpected argument: "_s + argument);
            continue;
        }

        QString value;
        if (option->valueName.isEmpty()) {
            if (inlineValue) {
                // A switch given a value is taken for a typo, not as the switch.
                if (!unknown)
                    unknown = Failure(name + u" は値をとりません"_s, name + u" takes no value"_s);
                continue;
            }
        } else if (option->valueCount > 1) {
            // Every value follows as an argument of its own.
            QStringList values;
            while (values.size() < option->valueCount && i + 1 < arguments.size() &&
                   !arguments.at(i + 1).startsWith(u'-'))
                values << arguments.at(++i);
            if (inlineValue || values.size() < option->valueCount) {
                if (!missingValue)
                    missingValue = Failure(name + u" には "_s + option->valueName + u" を指定してください"_s,
                                           name + u" needs "_s + option->valueName);
                continue;
            }
            option->applyAll(result, values);
            continue;
        } else if (inlineValue) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(u'-')) {
            value = arguments.at(++i);
        }
        if (!option->valueName.isEmpty() && value.isEmpty()) {
            if (!missingValue)
                missingValue = Failure(name + u" には "_s + option->valueName + u" を指定してください"_s,
                                       name + u" needs "_s + option->valueName);
            continue;
        }
        option->apply(result, value);
    }

    if (result.action != CommandLine::Action::Run)
        return result; // --help or --version
    if (unknown)
        return *unknown;
    if (missingValue)
        return *missingValue;
    if (!result.importFile.isEmpty() || result.check) {
        if (result.importFile.isEmpty())
            return Failure(u"--check は --import FILE と一緒に指定してください"_s, u"--check needs --import FILE"_s);
        if (result.check == !result.pdfFile.isEmpty() || result.invoice)
            return Failure(u"--import には --check か --pdf OUT のどちらかを指定してください"_s,
                           u"--import needs either --check or --pdf OUT"_s);
        result.action = result.check ? CommandLine::Action::ImportCheck : CommandLine::Action::ImportPdf;
        return result;
    }
    if (!result.pdfFile.isEmpty())
        result.action = result.invoice ? CommandLine::Action::ExportInvoicePdf : CommandLine::Action::ExportPdf;
    else if (!result.historyFile.isEmpty())
        result.action = CommandLine::Action::ExportHistory;
    return result;
}

QString PdfFilePath(const CommandLine &commandLine, const QString &startDir)
{
    if (commandLine.pdfFile.isEmpty())
        return {};
    return QDir::cleanPath(QDir(startDir).absoluteFilePath(commandLine.pdfFile));
}

QString HistoryFilePath(const CommandLine &commandLine, const QString &startDir)
{
    if (commandLine.historyFile.isEmpty())
        return {};
    return QDir::cleanPath(QDir(startDir).absoluteFilePath(commandLine.historyFile));
}

QString ImportFilePath(const CommandLine &commandLine, const QString &startDir)
{
    if (commandLine.importFile.isEmpty())
        return {};
    return QDir::cleanPath(QDir(startDir).absoluteFilePath(commandLine.importFile));
}

QStringList ArgumentsOf(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int k = 1; k < argc; ++k)
        arguments << QString::fromLocal8Bit(argv[k]);
    return arguments;
}

std::optional<int> ApplyCommandLine(const CommandLine &commandLine)
{
    const auto print = [](std::FILE *stream, const QString &text) { std::fputs(text.toUtf8().constData(), stream); };
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp: print(stdout, UsageText()); return 0;
    case CommandLine::Action::ShowVersion: print(stdout, VersionText()); return 0;
    case CommandLine::Action::Fail: print(stderr, commandLine.error + u'\n' + UsageText()); return 2;
    case CommandLine::Action::Run:
    case CommandLine::Action::ExportPdf:
    case CommandLine::Action::ExportInvoicePdf:
    case CommandLine::Action::ExportHistory:
    case CommandLine::Action::ImportCheck:
    case CommandLine::Action::ImportPdf: break;
    }
    QString error;
    if (!commandLine.dataDir.isEmpty() && !EnterDataFolder(commandLine.dataDir, &error)) {
        print(stderr, error);
        return 1;
    }
    return std::nullopt;
}

QString UsageText()
{
    QString text = u"使い方: "_s + kProgram + u" [オプション]\n"_s + u"Usage: "_s + kProgram + u" [OPTION]...\n\n"_s +
                   u"郵便振替払込取扱票を印刷します。設定ファイルは作業フォルダに置きます。\n"_s +
                   u"Prints postal transfer payment slips; the settings files are kept in the working folder.\n\n"_s;
    qsizetype width = 0;
    QStringList heads;
    for (const Option &o : Options()) {
        heads << o.names.join(u", "_s) + (o.valueName.isEmpty() ? QString() : u" "_s + o.valueName);
        width = std::max(width, heads.last().size());
    }
    for (size_t k = 0; k < Options().size(); ++k) {
        const Option &o = Options()[k];
        const QString head = heads.at(qsizetype(k));
        text += u"  "_s + head.leftJustified(width + 2) + o.japanese + u"\n"_s;
        text += QString(width + 4, u' ') + o.english + u"\n"_s;
    }
    return text;
}

QString VersionText()
{
    return kProgram + u" "_s + QStringLiteral(VUZO_VERSION) + u"\n"_s;
}

QString UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/"_s + kProgram;
}

bool EnterDataFolder(const QString &dir, QString *error)
{
    if (!QDir().mkpath(dir)) {
        *error =
            u"データフォルダを作れません: "_s + dir + u"\n"_s + u"cannot create the data folder: "_s + dir + u"\n"_s;
        return false;
    }
    if (!QDir::setCurrent(dir)) {
        *error =
            u"データフォルダに移れません: "_s + dir + u"\n"_s + u"cannot enter the data folder: "_s + dir + u"\n"_s;
        return false;
    }
    return true;
}
