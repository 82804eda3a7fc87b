#include "xpbutton.h"

// Option groups live on the container: "xb_OptCount" counts the option-mode buttons registered
// there and "xb_Obj1", "xb_Obj2", ... hold them in the order they joined. The entries are
// QPointers, so a button that ends without leaving reads as an empty slot, never as a dangling
// one; a button leaves its group when it ends.

namespace xpbutton {

bool XPButton::OptionToggle(int action)
{
    QWidget *container = m_container;
    if (!container)
        return false;
    const int count = container->property(kOptCount).toInt();
    auto slotName = [](int slot) {
        return QByteArray(QByteArray(kOptSlotPrefix) + QByteArray::number(slot));
    };
    auto member = [&](int slot) {
        return container->property(slotName(slot).constData()).value<QPointer<XPButton>>();
    };

    if (m_s.value && (count > 0 || action == 1)) {
        for (int slot = 1; slot <= count; ++slot) {
            const QPointer<XPButton> other = member(slot);
            if (!other)
                return false; // a slot without a live button ends the routine quietly
            if (other != this)
                other->setValue(false);
        }
    }
    switch (action) {
    case -1: {
        int found = 0;
        for (int slot = 1; slot <= count && !found; ++slot) {
            if (member(slot) == this)
                found = slot;
        }
        if (!found)
            return false;
        for (int slot = found; slot < count; ++slot)
            container->setProperty(slotName(slot).constData(),
                                   QVariant::fromValue(member(slot + 1)));
        container->setProperty(slotName(count).constData(), QVariant());
        if (count - 1 > 0)
            container->setProperty(kOptCount, count - 1);
        else
            container->setProperty(kOptCount, QVariant());
        return false;
    }
    case 1:
        container->setProperty(kOptCount, count + 1);
        container->setProperty(slotName(count + 1).constData(),
                               QVariant::fromValue(QPointer<XPButton>(this)));
        return false;
    case 2:
        for (int slot = 1; slot <= count; ++slot) {
            const QPointer<XPButton> other = member(slot);
            if (!other)
                return false;
            if (other->value())
                return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace xpbutton
