#include "widgets/translatable_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>

QString QStr(const std::string& text) { return QString::fromStdString(text); }

namespace {

// The tab widget whose page `object` is, and the page's index there.
QTabWidget* TabOf(const QObject* object, int& index) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !widget->parentWidget()) return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs) return nullptr;
    index = tabs->indexOf(const_cast<QWidget*>(widget));
    return index >= 0 ? tabs : nullptr;
}

bool SetCaption(QObject* object, const QString& text) {
    int index = -1;
    if (auto* action = qobject_cast<QAction*>(object))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(object))
        menu->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(object))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(object))
        group->setTitle(text);
    else if (QTabWidget* tabs = TabOf(object, index))
        tabs->setTabText(index, text);
    else if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow())
        widget->setWindowTitle(text);
    else
        return false;
    return true;
}

}  // namespace

QString CaptionOf(const QObject* object) {
    int index = -1;
    if (const auto* action = qobject_cast<const QAction*>(object)) return action->text();
    if (const auto* menu = qobject_cast<const QMenu*>(object)) return menu->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(object)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(object)) return label->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(object)) return group->title();
    if (QTabWidget* tabs = TabOf(object, index)) return tabs->tabText(index);
    if (const auto* widget = qobject_cast<const QWidget*>(object); widget && widget->isWindow())
        return widget->windowTitle();
    return {};
}

std::string TQtTranslatableWindow::WindowName() const { return Root.objectName().toStdString(); }

TStringList TQtTranslatableWindow::ComponentNames() const {
    TStringList names;
    for (const QObject* child : Root.findChildren<QObject*>())
        if (!child->objectName().isEmpty()) names.push_back(child->objectName().toStdString());
    return names;
}

QObject* TQtTranslatableWindow::Find(const std::string& component) const {
    const QString name = QStr(component);
    if (Root.objectName().compare(name, Qt::CaseInsensitive) == 0) return &Root;
    for (QObject* child : Root.findChildren<QObject*>())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
    return nullptr;
}

std::optional<TPropertyValue> TQtTranslatableWindow::GetProperty(const std::string& component,
                                                                 const std::string& property) const {
    QObject* object = Find(component);
    if (!object) return std::nullopt;
    if (SameText(property, "Caption")) return TPropertyValue(CaptionOf(object).toStdString());
    if (SameText(property, "Hint")) {
        if (auto* widget = qobject_cast<QWidget*>(object)) return TPropertyValue(widget->toolTip().toStdString());
        if (auto* action = qobject_cast<QAction*>(object)) return TPropertyValue(action->toolTip().toStdString());
    }
    return std::nullopt;
}

void TQtTranslatableWindow::SetProperty(const std::string& component, const std::string& property,
                                        const TPropertyValue& value) {
    QObject* object = Find(component);
    const auto* text = std::get_if<std::string>(&value);
    if (!object || !text) return;
    if (SameText(property, "Caption")) {
        SetCaption(object, QStr(*text));
    } else if (SameText(property, "Hint")) {
        if (auto* widget = qobject_cast<QWidget*>(object)) widget->setToolTip(QStr(*text));
        if (auto* action = qobject_cast<QAction*>(object)) action->setToolTip(QStr(*text));
    }
}

void RenewAccessibleNames(QWidget& root) {
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* widget : widgets) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")) continue;
        QString caption = CaptionOf(widget).trimmed();
        caption.remove('&');
        if (!caption.isEmpty()) {
            widget->setAccessibleName(caption);
            continue;
        }
        // Controls without a caption: the form's English name, translated.
        QVariant source = widget->property("lumoraAccessibleSource");
        if (!source.isValid()) {
            source = widget->accessibleName();
            widget->setProperty("lumoraAccessibleSource", source);
        }
        if (!source.toString().isEmpty()) widget->setAccessibleName(QStr(Translate(source.toString().toStdString())));
    }
}

void TranslateWindow(QWidget& root, const TStringList& componentNames) {
    TQtTranslatableWindow window(root);
    TranslateForm(window, componentNames);
    RenewAccessibleNames(root);
}
