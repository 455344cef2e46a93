#include "controls/TDBGridSelection.h"

void TDBGridSelection::setCurrentIndex(const QModelIndex& index, SelectionFlags /*command*/) {
    QModelIndex target = index;
    if (!Bypass && Gate && index != currentIndex() && index.isValid()) {
        target = Gate(currentIndex(), index);
        if (!target.isValid()) return;
    }
    QItemSelectionModel::setCurrentIndex(target, ClearAndSelect);
}

void TDBGridSelection::select(const QModelIndex& /*index*/, SelectionFlags /*command*/) {
    SelectCurrent();
}

void TDBGridSelection::select(const QItemSelection& /*selection*/, SelectionFlags /*command*/) {
    SelectCurrent();
}

void TDBGridSelection::SelectCurrent() {
    QModelIndex current = currentIndex();
    QItemSelection only;
    if (current.isValid()) only.select(current, current);
    QItemSelectionModel::select(only, ClearAndSelect);
}
