#include "widgets/log_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>

#include "settings/language.h"
#include "widgets/translatable_window.h"

namespace {

constexpr int FlushDelayMs = 40;

}  // namespace

QIcon LevelIcon(TIconType icon) {
    static const QIcon icons[] = {
        QIcon(),
        QIcon(":/icons/log-debug.svg"),
        QIcon(":/icons/log-warning.svg"),
        QIcon(":/icons/log-information.svg"),
        QIcon(":/icons/log-assertion.svg"),
        QIcon(":/icons/log-error.svg"),
        QIcon(":/icons/log-unknown.svg"),
    };
    return icons[static_cast<int>(icon)];
}

int TLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

QVariant TLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(Rows.size())) return {};
    const TLogLine& line = Rows[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return QString::fromStdString(line.Text);
    if (role == Qt::DecorationRole) return LevelIcon(line.Icon);
    return {};
}

TIconType TLogModel::IconAt(int row) const { return Rows.at(static_cast<std::size_t>(row)).Icon; }

void TLogModel::Apply(TLogLines::TBatch batch) {
    if (batch.Cleared) {
        beginResetModel();
        Rows.clear();
        endResetModel();
    }
    const std::size_t dropped = std::min(batch.DroppedFromTop, Rows.size());
    if (dropped > 0) {
        beginRemoveRows({}, 0, static_cast<int>(dropped) - 1);
        Rows.erase(Rows.begin(), Rows.begin() + static_cast<std::ptrdiff_t>(dropped));
        endRemoveRows();
    }
    if (!batch.Added.empty()) {
        const int first = static_cast<int>(Rows.size());
        beginInsertRows({}, first, first + static_cast<int>(batch.Added.size()) - 1);
        for (TLogLine& line : batch.Added) Rows.push_back(std::move(line));
        endInsertRows();
    }
}

TLogView::TLogView(QWidget* parent) : QListView(parent) {
    setModel(&LogModel);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    FlushTimer.setSingleShot(true);
    FlushTimer.setInterval(FlushDelayMs);
    connect(&FlushTimer, &QTimer::timeout, this, &TLogView::Flush);
}

TLogView::~TLogView() {
    if (Lines) Lines->OnPending = nullptr;
}

void TLogView::Attach(TLogLines* lines) {
    if (Lines) Lines->OnPending = nullptr;
    Lines = lines;
    if (Lines) {
        Lines->OnPending = [this] {
            if (!FlushTimer.isActive()) FlushTimer.start();
        };
        Flush();
    }
}

void TLogView::Flush() {
    if (!Lines || !Lines->HasPending()) return;
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum() - 1;
    LogModel.Apply(Lines->TakeBatch());
    if (atEnd) scrollToBottom();
}

QString TLogView::SelectedText() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList texts;
    for (const QModelIndex& row : rows) texts << row.data().toString();
    return texts.join('\n');
}

void TLogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QApplication::clipboard()->setText(SelectedText());
        return;
    }
    QListView::keyPressEvent(event);
}

void TLogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStr(Translate("Copy")), QKeySequence::Copy);
    copy->setEnabled(selectionModel()->hasSelection());
    connect(copy, &QAction::triggered, this, [this] { QApplication::clipboard()->setText(SelectedText()); });
    QAction* all = menu.addAction(QStr(Translate("Select All")), QKeySequence::SelectAll);
    connect(all, &QAction::triggered, this, &QListView::selectAll);
    menu.exec(event->globalPos());
}
