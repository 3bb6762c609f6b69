#pragma once
// One capability list of the selected printer as TWbPrinter keeps it between
// reads: the values the printer offers (paper size numbers, bin numbers,
// resolutions) in the printer's order and, for the lists the operator picks
// from, the name shown for each value. The range checks and look-ups of all
// lists are these; the callers turn a missing answer into their own error.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vuzo {

template <typename Value> class CapabilityList
{
public:
    // Takes the printer's values; the list has no names.
    void fill(const QList<Value> &values)
    {
        m_values = values;
        m_names.clear();
    }
    // Takes the printer's values and names. Every value gets a name (empty
    // when the printer gave fewer names than values), cut to nameUnits UTF-16
    // units as a fixed-size name buffer would cut it.
    void fill(const QList<Value> &values, const QStringList &names, qsizetype nameUnits)
    {
        fill(values);
        for (qsizetype i = 0; i < m_values.size(); ++i)
            m_names.append(cutName(names.value(i), nameUnits));
    }

    bool isEmpty() const { return m_values.isEmpty(); }
    int count() const { return int(m_values.size()); }
    const QStringList &names() const { return m_names; }
    bool contains(const Value &value) const { return m_values.contains(value); }

    // The value at a position; nullopt outside the list.
    std::optional<Value> at(int index) const
    {
        if (index < 0 || index >= m_values.size())
            return std::nullopt;
        return m_values.at(index);
    }
    // The position of the first or last entry with that value; nullopt when
    // the list does not have it.
    std::optional<int> indexOf(const Value &value) const { return found(m_values.indexOf(value)); }
    std::optional<int> lastIndexOf(const Value &value) const { return found(m_values.lastIndexOf(value)); }

    // The name cut to at most units UTF-16 units, one unit less when the cut
    // would split a surrogate pair.
    static QString cutName(const QString &name, qsizetype units)
    {
        if (name.size() <= units)
            return name;
        qsizetype n = units;
        if (n > 0 && name.at(n - 1).isHighSurrogate())
            --n;
        return name.left(n);
    }

private:
    static std::optional<int> found(qsizetype position)
    {
        return position < 0 ? std::nullopt : std::optional<int>(int(position));
    }

    QList<Value> m_values;
    QStringList m_names;
};

} // namespace vuzo
