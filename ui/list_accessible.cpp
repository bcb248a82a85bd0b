#include "ui/list_accessible.h"

#include "ui/template_dialog.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace sorrel::ui {
namespace {

class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return static_cast<const QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(kind); // the name: the accessible name or the label's
    }
};

QAccessibleInterface* list_interface(const QString& className, QObject* object) {
    auto* list = qobject_cast<QComboBox*>(object);
    const bool named = list != nullptr && (qobject_cast<TemplateDialog*>(list->parent()) ||
                                           !list->accessibleName().isEmpty());
    if (className != QLatin1String("QComboBox") || !named)
        return nullptr;
    return new ListAccessible(list);
}

} // namespace

void install_list_accessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(list_interface);
        return true;
    }();
    (void)installed;
}

} // namespace sorrel::ui
