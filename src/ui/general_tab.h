// The tab "General / Location": the project's names and comments, the
// position typed as degrees and minutes, Calculate, and the cell, area and
// edges it found.
#pragma once

#include <QWidget>

#include "model/project_state.h"

class QLabel;

class GeneralTab : public QWidget {
    Q_OBJECT
  public:
    explicit GeneralTab(QWidget* parent = nullptr);

    // The edges of the area that the cell and area boxes name, once all four
    // hold something.
    void showAreaEdges(const qm4::ProjectState& s);

  signals:
    void calculateRequested();

  private:
    QLabel* north_ = nullptr;
    QLabel* south_ = nullptr;
    QLabel* west_ = nullptr;
    QLabel* east_ = nullptr;
};
