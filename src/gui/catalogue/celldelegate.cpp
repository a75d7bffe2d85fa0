#include "gui/catalogue/celldelegate.h"

namespace {

// No character is narrower than this many pixels in a list's font, so a column this many times
// as wide as a text is long in characters never shows all of it.
constexpr int narrowestCharacter = 2;

} // namespace

void CellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // One character more than fits, so that the style still sees the text is cut and ends it in
    // an ellipsis.
    const qsizetype fits = qMax(0, option->rect.width()) / narrowestCharacter + 1;
    if (option->text.size() > fits)
        option->text.truncate(fits);
}
