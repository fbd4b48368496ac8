// SPDX-License-Identifier: GPL-3.0-or-later
#include "phone/CPhoneField.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace msgdesk {

namespace {

// The value is the text the field shows (the status word, the device
// number, the time or duration, the dialled number as one text); the name
// says what the field is.
constexpr char kShownProperty[] = "zuntoShownText";

class ShownTextAccessible final : public QAccessibleWidget {
public:
    explicit ShownTextAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return widget()->property(kShownProperty).toString();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* shownTextFactory(const QString& className, QObject* o) {
    // Asked for the most derived class first, before the label's own.
    if (className != QLatin1String(CPhoneField::staticMetaObject.className())) return nullptr;
    auto* w = qobject_cast<CPhoneField*>(o);
    return w ? new ShownTextAccessible(w) : nullptr;
}

}  // namespace

void CPhoneField::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(shownTextFactory);
        return true;
    }();
    (void)installed;
}

CPhoneField* CPhoneField::make(QWidget* parent, const char* objectName, const QString& accessible,
                               QRect at, QColor colour, Qt::Alignment align) {
    auto* l = new CPhoneField(parent);
    l->setObjectName(QLatin1String(objectName));
    l->setAccessibleName(accessible);
    l->setProperty(kShownProperty, QString());
    l->setGeometry(at);
    l->setAlignment(align | Qt::AlignVCenter);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

QString CPhoneField::shown() const {
    return property(kShownProperty).toString();
}

bool CPhoneField::setShown(const QString& text, bool announce) {
    const QString v = text.trimmed();
    if (property(kShownProperty).toString() == v) return false;
    setProperty(kShownProperty, v);
    if (announce) {
        QAccessibleValueChangeEvent ev(this, v);
        QAccessible::updateAccessibility(&ev);
    }
    return true;
}

}  // namespace msgdesk
