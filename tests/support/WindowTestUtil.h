#pragma once
// Helpers shared by the window tests: the focus and keys as the operator uses
// them, and the main window's line table and slip fields found by their
// objectNames, so no test needs the window's own members.

#include "controls/TZuNumEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QTest>

namespace window_test {

// The objectName of the control that has the focus; empty when none has.
inline QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QString();
}

// Presses a key in the control that has the focus and lets what it queued run.
inline void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *w = QApplication::focusWidget();
    QVERIFY(w);
    QTest::keyClick(w, Qt::Key(key), modifiers);
    QCoreApplication::processEvents();
}

// Moves the focus into a control as the Tab key does, so its enter handler runs.
inline void focus(QWidget *w)
{
    w->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}

// The six fields of one line (1 .. 10) of the main window's table.
struct LineFields
{
    QLineEdit *itemNo = nullptr; // Edit_itemNo<n>, item name 1
    QLineEdit *item = nullptr;   // Edit_item<n>, item name 2
    TZuNumEdit *qty = nullptr;   // ZuNumEdit_QTY<n>
    QLineEdit *unit = nullptr;   // Edit_unit<n>
    TZuNumEdit *price = nullptr; // ZuNumEdit_Price<n>
    TZuNumEdit *sales = nullptr; // ZuNumEdit_Sales<n>, the amount
};

inline LineFields lineFields(const QWidget *form, int row)
{
    const QString n = QString::number(row);
    LineFields l;
    l.itemNo = form->findChild<QLineEdit *>(QStringLiteral("Edit_itemNo") + n);
    l.item = form->findChild<QLineEdit *>(QStringLiteral("Edit_item") + n);
    l.qty = form->findChild<TZuNumEdit *>(QStringLiteral("ZuNumEdit_QTY") + n);
    l.unit = form->findChild<QLineEdit *>(QStringLiteral("Edit_unit") + n);
    l.price = form->findChild<TZuNumEdit *>(QStringLiteral("ZuNumEdit_Price") + n);
    l.sales = form->findChild<TZuNumEdit *>(QStringLiteral("ZuNumEdit_Sales") + n);
    return l;
}

// A slip as an operator fills it in: the delivery address and the lines from
// row 1 on. A field left null is not touched.
struct SlipText
{
    struct Line
    {
        QString item{}, unit{}, qty{}, price{};
    };
    QString zip{}, add1{}, add2{}, add3{}, custo1{}, tel{};
    QList<Line> lines{};
};

// Writes the slip into the main window's fields: the address top to bottom,
// then each line's item name, unit, quantity and unit price.
inline void fillSlip(const QWidget *form, const SlipText &slip)
{
    const auto put = [](auto *field, const QString &text) {
        if (!text.isNull())
            field->setText(text);
    };
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_Zip")), slip.zip);
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_Add1")), slip.add1);
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_Add2")), slip.add2);
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_Add3")), slip.add3);
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_Custo1")), slip.custo1);
    put(form->findChild<QLineEdit *>(QStringLiteral("Edit_tel")), slip.tel);
    for (qsizetype i = 0; i < slip.lines.size(); ++i) {
        const SlipText::Line &line = slip.lines.at(i);
        const LineFields fields = lineFields(form, int(i) + 1);
        put(fields.item, line.item);
        put(fields.unit, line.unit);
        put(fields.qty, line.qty);
        put(fields.price, line.price);
    }
}

} // namespace window_test
