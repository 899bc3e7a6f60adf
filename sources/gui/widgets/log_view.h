// The log view: one row per line with its level icon, selectable and
// copyable. Lines arrive through TLogLines and are taken in batches, so a
// tool that prints very fast costs one update per batch; at the cap the
// oldest rows go.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QTimer>
#include <deque>

#include "workflow/log_lines.h"

class TLogModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TLogModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void Apply(TLogLines::TBatch batch);
    TIconType IconAt(int row) const;

private:
    std::deque<TLogLine> Rows;
};

class TLogView final : public QListView {
    Q_OBJECT
public:
    explicit TLogView(QWidget* parent = nullptr);
    ~TLogView() override;

    // The lines this view shows; it takes their batches.
    void Attach(TLogLines* lines);
    // Takes what is pending now (the view also does it on its own shortly after lines arrive).
    void Flush();
    TLogModel& Model() { return LogModel; }
    // The selected rows' texts, one per line.
    QString SelectedText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TLogModel LogModel;
    TLogLines* Lines = nullptr;
    QTimer FlushTimer;
};

// The icon of a level, from the theme or our own drawings.
QIcon LevelIcon(TIconType icon);
