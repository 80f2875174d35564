#pragma once

#include "core/Settings.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"

#include <QObject>

class QComboBox;
class QLabel;
class QListWidget;
class QWidget;

namespace vetorlan {

class PictureButton;

// The town controls of the main window: the region and town boxes (single-town mode), the
// multi-town list with its selection count and save button. Its widgets are children of
// the window, placed where the window's background leaves room for them.
class TownPicker : public QObject {
    Q_OBJECT
public:
    TownPicker(QWidget& window, const Settings& settings);

    // The boxes from gorod.ini (single-town mode), or the list from goroda.ini (multi-town).
    void RebuildSingleTownBoxes();
    void RebuildMultiTownList();
    // Writes gorod.ini, and goroda.ini in multi-town mode.
    void SaveTownLists();
    void SetTownListTip(const QString& tip);
    // The press on the list that offers to save the selection.
    void ShowSaveTownsButton();

    int SingleTownRow() const;
    const RegionTownList& RegionTowns() const { return regionTowns_; }
    const TownSelection& SelectedTowns() const { return selectedTowns_; }
    // Whether the multi-town list is filled and follows its selection.
    bool ListReady() const { return listReady_; }

signals:
    // The single town or the first chosen town may have changed.
    void ChoiceChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnsureTownList();
    void FillTownBoxForRegion();
    void FillSingleTownBoxes();
    void RestoreSingleTown();
    void RestoreMultiTown();
    void RecordSelectedTowns();
    void SaveChosenTowns();

    QWidget& window_;
    const Settings& settings_;
    QComboBox* regionBox_ = nullptr;
    QComboBox* townBox_ = nullptr;
    QListWidget* townList_ = nullptr; // made when the multi-town list is first needed
    QLabel* selectedCountLabel_ = nullptr;
    PictureButton* saveTownsButton_ = nullptr;
    RegionTownList regionTowns_;  // the region the town box shows
    TownSelection selectedTowns_; // the rows selected in the multi-town list
    bool listReady_ = false;
};

} // namespace vetorlan
