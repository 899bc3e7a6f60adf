// A container in a tab that hosts a page by name: the page is re-parented into
// it (docked) and can leave it to float as a tool window.
#pragma once

#include <QPointer>
#include <QWidget>

class TLumoraTabbedForm;

class TPageHost : public QWidget {
    Q_OBJECT
public:
    explicit TPageHost(QWidget* parent = nullptr);

    // Docks the page of that name (undocking the current one first). The name
    // of the host's own window, or the current name, changes nothing.
    void SetEmbeddedFormName(const QString& name);
    QString EmbeddedFormName() const { return FormName; }
    TLumoraTabbedForm* EmbeddedForm() const { return Form; }
    // Docks again (after the pages were created).
    void RetryDocking();
    QString ParentFormName() const;

signals:
    void EmbeddedChange(bool embedded);

private:
    QString FormName;
    QPointer<TLumoraTabbedForm> Form;

    void DockByName();
    void UndockCurrent();
};

// The pages that exist, by name: the first one whose object name matches.
TLumoraTabbedForm* FindPage(const QString& name);
