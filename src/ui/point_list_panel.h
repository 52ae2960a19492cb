// One column of the draw tab, used twice (LWM, VTP): the coordinate texts
// under the mouse, the counter, the point list and its buttons, and the Send
// NO Data box. It shows the document's list and asks for changes by signals.
#pragma once

#include <QStringList>
#include <QWidget>

class QListWidget;

class PointListPanel : public QWidget {
    Q_OBJECT
  public:
    // The object names of one column's controls.
    struct Names {
        const char* x;
        const char* y;
        const char* counter;
        const char* list;
        const char* remove;
        const char* clear;
        const char* create;
        const char* noData;
    };
    struct Captions {
        QString coordinates, counter, remove, clear, create, noData;
    };
    PointListPanel(const Names& names, const Captions& captions, const QColor& colour,
                   QWidget* parent = nullptr);

    // The widgets the draw tab chains in its tab order, in order.
    QList<QWidget*> tabOrder() const { return tabOrder_; }

    // Replaces removed lines from index at with inserted ones. The list
    // follows lines added at its end, unless the author has scrolled away
    // from the end to read.
    void splice(int at, int removed, const QStringList& inserted);
    void reset(const QStringList& lines);
    void select(int row);

  signals:
    void selected(int row);
    void removeRequested();
    void clearRequested();
    // A double-click anywhere on the list (below the last line too), Enter
    // or Insert.
    void insertRequested();
    void createRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QListWidget* list_ = nullptr;
    QList<QWidget*> tabOrder_;
};
