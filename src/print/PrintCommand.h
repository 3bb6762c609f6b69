#pragma once
// Pure pieces of the print command: the effective resolution handed to the
// layout, the job title and the copy count.

#include <QString>

// dpi x 100 div scale (integer division). A device that reports no usable
// scale (0 or negative) is taken as printing at 100 %, so nothing is divided
// by zero. Results beyond the int range are held at its ends.
int EffectiveResolution(int dpi, int scale);

// The tag that marks this program's slips in the print queue.
QString PrintJobTag();

// "vuzo_Vez_1_" + paper index + "_" + tag + "-" + slip number trimmed of
// blanks, for example "vuzo_Vez_1_0_YUBF-12".
QString PrintJobTitle(int paperIndex, const QString &slipNo);

// The title of an alignment sheet's job in the print queue.
QString AlignmentJobTitle();

// The number of copies from the copy-count field: its integer value, or 0 for
// text that is not an integer. Zero or fewer copies print no page.
int PrintCopyCount(const QString &copiesText);
