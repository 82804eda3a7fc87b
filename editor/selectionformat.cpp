#include "selectionformat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace pennote {

namespace {

int alignmentValue(Qt::Alignment alignment)
{
    switch (alignment & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute) {
    case Qt::AlignLeft:
        return AlignLeftValue;
    case Qt::AlignRight:
        return AlignRightValue;
    case Qt::AlignHCenter:
        return AlignCenterValue;
    default:
        return -1;
    }
}

QColor defaultTextColor(const QTextEdit &edit)
{
    return edit.palette().color(QPalette::Text);
}

// Folds the values of one more stretch of the selection into the result.
void merge(SelectionFormat &result, const CharValues &next, bool first)
{
    if (first) {
        result.values = next;
        return;
    }
    const CharValues &have = result.values;
    if (next.fontName != have.fontName)
        result.mixed |= SelectionFormat::FontName;
    if (!qFuzzyCompare(next.fontSize, have.fontSize))
        result.mixed |= SelectionFormat::FontSize;
    if (next.bold != have.bold)
        result.mixed |= SelectionFormat::Bold;
    if (next.italic != have.italic)
        result.mixed |= SelectionFormat::Italic;
    if (next.underline != have.underline)
        result.mixed |= SelectionFormat::Underline;
    if (next.color != have.color)
        result.mixed |= SelectionFormat::Color;
}

} // namespace

CharValues charValues(const QTextCharFormat &format, const QFont &defaultFont,
                      const QColor &defaultColor)
{
    const QFont font = format.font().resolve(defaultFont);
    CharValues values;
    values.fontName = font.family();
    values.fontSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    values.bold = font.weight() >= QFont::DemiBold;
    values.italic = font.italic();
    values.underline = format.hasProperty(QTextFormat::TextUnderlineStyle)
                           ? format.underlineStyle() != QTextCharFormat::NoUnderline
                           : font.underline();
    const QBrush foreground = format.foreground();
    values.color = foreground.style() == Qt::NoBrush ? defaultColor : foreground.color();
    return values;
}

SelectionFormat SelectionFormat::read(const QTextEdit &edit)
{
    SelectionFormat result;
    const QTextDocument *doc = edit.document();
    const QFont defaultFont = doc->defaultFont();
    const QColor defaultColor = defaultTextColor(edit);
    const QTextCursor cursor = edit.textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();

    bool first = true;
    if (start < end) {
        for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end;
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid() || fragment.position() >= end ||
                    fragment.position() + fragment.length() <= start)
                    continue;
                merge(result, charValues(fragment.charFormat(), defaultFont, defaultColor), first);
                first = false;
            }
        }
    }
    // A caret, or a selection of nothing but paragraph ends, reports what typing would use.
    if (first)
        result.values = charValues(edit.currentCharFormat(), defaultFont, defaultColor);

    const QTextBlock last = doc->findBlock(end);
    QTextBlock block = doc->findBlock(start);
    result.alignment = alignmentValue(block.blockFormat().alignment());
    while (block.isValid() && block != last) {
        block = block.next();
        if (block.isValid() && alignmentValue(block.blockFormat().alignment()) != result.alignment)
            result.mixed |= Alignment;
    }
    return result;
}

void applyCharValues(QTextEdit &edit, const CharValues &values, SelectionFormat::Attributes which)
{
    QTextCharFormat format;
    if (which.testFlag(SelectionFormat::FontName))
        format.setFontFamilies(QStringList{values.fontName});
    if (which.testFlag(SelectionFormat::FontSize) && values.fontSize > 0)
        format.setFontPointSize(values.fontSize);
    if (which.testFlag(SelectionFormat::Bold))
        format.setFontWeight(values.bold ? QFont::Bold : QFont::Normal);
    if (which.testFlag(SelectionFormat::Italic))
        format.setFontItalic(values.italic);
    if (which.testFlag(SelectionFormat::Underline))
        format.setFontUnderline(values.underline);
    if (which.testFlag(SelectionFormat::Color) && values.color.isValid())
        format.setForeground(values.color);
    edit.mergeCurrentCharFormat(format);
}

void applyAlignment(QTextEdit &edit, int alignment)
{
    switch (alignment) {
    case AlignLeftValue:
        edit.setAlignment(Qt::AlignLeft);
        break;
    case AlignRightValue:
        edit.setAlignment(Qt::AlignRight);
        break;
    case AlignCenterValue:
        edit.setAlignment(Qt::AlignHCenter);
        break;
    default:
        break;
    }
}

} // namespace pennote
