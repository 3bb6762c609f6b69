#pragma once
// The pictures of the main window's picture buttons, drawn in code. Loading
// picture files would bring the image-format plugins into the start-up, which
// the window's first paint has to wait for.

#include <QIcon>

enum class ButtonGlyph
{
    Transfer, // テキスト転送: a down arrow in a green disc
    Help,     // 操作説明: a question mark in a speech bubble
    Brush,    // Memoクリア: a brush
    Bin,      // お届け先クリア: a waste bin
    Batch,    // 一括印刷: a stack of slips
};

// The picture at 24 x 24 and, for high-density screens, 48 x 48 pixels.
QIcon ButtonGlyphIcon(ButtonGlyph glyph);
