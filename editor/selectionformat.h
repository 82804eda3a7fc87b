#pragma once

#include <QColor>
#include <QFlags>
#include <QString>

class QTextCharFormat;
class QTextEdit;
class QFont;

namespace pennote {

// Paragraph alignment values of the text control.
enum ParagraphAlignment : int { AlignLeftValue = 0, AlignRightValue = 1, AlignCenterValue = 2 };

// The character attributes the font dialog and the toolbar work with.
struct CharValues
{
    QString fontName;
    qreal fontSize = 0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color;

    bool operator==(const CharValues &) const = default;
};

// What the selection of a text edit holds. A selection that mixes values of an attribute has that
// attribute in `mixed`; its value is then the one of the selection's first character, so that
// dialogs have something sensible to start from. An empty selection reports the format typing
// would use at the caret.
struct SelectionFormat
{
    enum Attribute {
        FontName = 0x01,
        FontSize = 0x02,
        Bold = 0x04,
        Italic = 0x08,
        Underline = 0x10,
        Color = 0x20,
        Alignment = 0x40,
    };
    Q_DECLARE_FLAGS(Attributes, Attribute)

    CharValues values;
    // One of ParagraphAlignment, or -1 for a paragraph aligned otherwise (justified).
    int alignment = AlignLeftValue;
    Attributes mixed;

    bool isMixed(Attribute attribute) const { return mixed.testFlag(attribute); }

    static SelectionFormat read(const QTextEdit &edit);
};

// Reads one character format against the document's defaults.
CharValues charValues(const QTextCharFormat &format, const QFont &defaultFont,
                      const QColor &defaultColor);

// Applies the chosen attributes to the selection (or to what the caret will type).
void applyCharValues(QTextEdit &edit, const CharValues &values, SelectionFormat::Attributes which);

// Sets the alignment of the paragraphs the selection touches.
void applyAlignment(QTextEdit &edit, int alignment);

} // namespace pennote

Q_DECLARE_OPERATORS_FOR_FLAGS(pennote::SelectionFormat::Attributes)
