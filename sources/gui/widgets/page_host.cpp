#include "widgets/page_host.h"

#include <QApplication>
#include <QVBoxLayout>

#include "pages/tabbed_page.h"

TLumoraTabbedForm* FindPage(const QString& name) {
    if (name.isEmpty()) return nullptr;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* page = qobject_cast<TLumoraTabbedForm*>(widget);
        if (page && page->objectName() == name) return page;
    }
    return nullptr;
}

TPageHost::TPageHost(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QString TPageHost::ParentFormName() const { return window() != this ? window()->objectName() : QString(); }

void TPageHost::SetEmbeddedFormName(const QString& name) {
    if (name == FormName || (!name.isEmpty() && name == ParentFormName())) return;
    UndockCurrent();
    FormName = name;
    if (!FormName.isEmpty()) DockByName();
}

void TPageHost::RetryDocking() {
    if (!FormName.isEmpty() && !Form) DockByName();
}

void TPageHost::DockByName() {
    TLumoraTabbedForm* page = FindPage(FormName);
    if (page && page != Form) {
        const bool wasFloating = page->isWindow();
        page->hide();
        page->setParent(this, Qt::Widget);
        layout()->addWidget(page);
        page->SetLastHost(this);
        page->show();
        if (wasFloating) page->SetPageVisible(true);
        Form = page;
    }
    emit EmbeddedChange(true);
}

void TPageHost::UndockCurrent() {
    if (!Form) return;
    layout()->removeWidget(Form);
    Form->hide();
    Form = nullptr;
    emit EmbeddedChange(false);
}
