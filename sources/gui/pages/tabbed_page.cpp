#include "pages/tabbed_page.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>

#include "widgets/page_host.h"
#include "widgets/translatable_window.h"

TLumoraTabbedForm::TLumoraTabbedForm(QWidget* parent) : QWidget(parent) {}

TPageHost* TLumoraTabbedForm::LastHost() const { return Host; }
void TLumoraTabbedForm::SetLastHost(TPageHost* host) { Host = host; }

void TLumoraTabbedForm::Dock() {
    if (!IsDocked() && Host) Host->SetEmbeddedFormName(objectName());
}

void TLumoraTabbedForm::Undock() {
    if (!IsDocked()) return;
    Host = qobject_cast<TPageHost*>(parentWidget());
    const QSize size = this->size();
    Host->SetEmbeddedFormName({});
    // A tool window of the host's window: above it, and freed with it.
    setParent(Host->window(), Qt::Tool);
    resize(size.expandedTo(minimumSizeHint()));
    if (const QScreen* screen = Host->screen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
}

void TLumoraTabbedForm::Translate() {
    TranslateWindow(*this, ListStringsToTranslate);
    if (auto* label = qobject_cast<QLabel*>(TitleLabel)) {
        const QString title = label->text().trimmed();
        label->setText(QStringLiteral("  ") + title);
        setWindowTitle(title);
    }
}

void TLumoraTabbedForm::ToggleDock() {
    if (IsDocked())
        Undock();
    else
        Dock();
}

bool TLumoraTabbedForm::IsDocked() const { return qobject_cast<TPageHost*>(parentWidget()) != nullptr; }

void TLumoraTabbedForm::SetPageVisible(bool show) {
    if (show && HiddenFlag) {
        HiddenFlag = false;
        PageShow();
    } else if (!show && !HiddenFlag) {
        HiddenFlag = true;
        PageHide();
    }
}

void TLumoraTabbedForm::closeEvent(QCloseEvent* event) {
    // Closing a floating page docks it back where it came from.
    if (!IsDocked() && Host) {
        event->ignore();
        Dock();
        return;
    }
    QWidget::closeEvent(event);
}
