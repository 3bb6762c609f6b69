// The reading of a whole order file: its table, its mapping and its orders.
#include "orders/OrderImport.h"

#include "settings/ProfileFile.h"

using namespace Qt::StringLiterals;

namespace orders {

OrderFile ReadOrderFile(const QString &path, const ReadOptions &options)
{
    OrderFile file;
    file.path = path;
    CsvReader reader(path, options.encoding);
    file.encoding = reader.encoding();
    file.hadBom = reader.hadBom();
    file.separator = reader.separator();
    if (!reader.refusal().isEmpty()) {
        file.refusal = reader.refusal();
        return file;
    }
    file.header = reader.header();

    if (options.mapping) {
        file.mapping = *options.mapping;
    } else if (std::optional<ColumnMapping> remembered =
                   options.settings ? RememberedMapping(*options.settings, file.header) : std::nullopt) {
        file.mapping = *remembered;
    } else {
        file.mapping = RecognizeHeader(file.header);
        if (file.mapping.formatName.isEmpty() || !file.mapping.usable()) {
            // The loose proposal stays for the operator's mapping window.
            file.needsMapping = true;
            file.refusal = u"この注文ファイルの形式がわかりません。列の対応を指定してください。"_s;
            return file;
        }
    }

    OrderGrouper grouper(file.mapping, options.import);
    CsvRow row;
    while (reader.next(row)) {
        if (!grouper.add(row)) {
            file.refusal = u"注文が %1 件を超えています。ファイルを分けて読み込んでください。"_s.arg(kMaxOrders);
            file.problems = reader.problems();
            return file;
        }
    }
    file.problems = reader.problems();
    const QList<qint64> noId = grouper.rowsWithoutId();
    for (qint64 line : noId)
        file.problems.append(u"%1行目：注文番号がありません"_s.arg(line));
    if (grouper.rowsWithoutIdCount() > noId.size())
        file.problems.append(
            u"ほかに注文番号のない行が %1 行あります"_s.arg(grouper.rowsWithoutIdCount() - noId.size()));
    file.orders = grouper.finish();
    return file;
}

} // namespace orders
