#include "ui/TownPicker.h"

#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"
#include "towns/TownLists.h"
#include "ui/PictureButton.h"
#include "ui/Pictures.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QProxyStyle>
#include <QSignalBlocker>

namespace vetorlan {

namespace {

// Keeps a combo box's popup a scrolling list of at most maxVisibleItems rows: some styles
// otherwise open it as one menu as long as the list.
class ListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A combo box that takes ListPopupStyle when its popup first opens: a style of its own from
// the start would build and keep a second style engine in a program that never opens it.
class ListPopupComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        if (!popupStyle_) {
            popupStyle_ = new ListPopupStyle;
            popupStyle_->setParent(this);
            setStyle(popupStyle_);
        }
        QComboBox::showPopup();
    }

private:
    ListPopupStyle* popupStyle_ = nullptr;
};

QString CountCaption(int count) {
    return QStringLiteral("Выбрано: ") + QString::number(count);
}

// The whole stored town list `name`, when the user keeps the chosen towns and it can be read.
bool ReadSavedTownFile(const Settings& settings, const QString& name, QByteArray& contents) {
    const QString path = ProgramFile(name);
    return IsTrue(settings.GorodSave) && FileExists(path) && ReadWholeFile(path, contents);
}

} // namespace

TownPicker::TownPicker(QWidget& window, const Settings& settings)
    : QObject(&window), window_(window), settings_(settings) {
    regionBox_ = new QComboBox(&window);
    regionBox_->setObjectName(QStringLiteral("regionBox"));
    regionBox_->setPlaceholderText(QStringLiteral("Выберите регион"));
    regionBox_->setGeometry(10, 30, 200, 24);
    connect(regionBox_, &QComboBox::currentIndexChanged, this, [this] { FillTownBoxForRegion(); });
    townBox_ = new ListPopupComboBox(&window);
    townBox_->setObjectName(QStringLiteral("townBox"));
    townBox_->setPlaceholderText(QStringLiteral("Выберите город"));
    townBox_->setGeometry(10, 62, 200, 24);
    townBox_->setMaxVisibleItems(20);
    connect(townBox_, &QComboBox::currentIndexChanged, this, &TownPicker::ChoiceChanged);
    // The count sits right under the list on a plain strip, so no piece of the background
    // picture shows between them.
    selectedCountLabel_ = new QLabel(CountCaption(0), &window);
    selectedCountLabel_->setObjectName(QStringLiteral("selectedCountLabel"));
    selectedCountLabel_->setGeometry(10, 140, 200, 23);
    selectedCountLabel_->setAutoFillBackground(true);
    saveTownsButton_ = new PictureButton(SaveButtonPicture, &window);
    saveTownsButton_->setObjectName(QStringLiteral("saveTownsButton"));
    saveTownsButton_->setGeometry(192, 143, 18, 18);
    saveTownsButton_->setToolTip(QStringLiteral("Сохранить список выбранных городов"));
    saveTownsButton_->hide();
    saveTownsButton_->raise();
    connect(saveTownsButton_, &QAbstractButton::clicked, this, [this] { SaveChosenTowns(); });
    townBox_->hide();
}

// The multi-town list is made the first time it is needed, so a single-town program never
// keeps it; it sits under the count and its save button as if made with them.
void TownPicker::EnsureTownList() {
    if (townList_)
        return;
    townList_ = new QListWidget(&window_);
    townList_->setObjectName(QStringLiteral("townList"));
    townList_->hide();
    townList_->setSelectionMode(QAbstractItemView::MultiSelection);
    townList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    townList_->setGeometry(10, 28, 200, 112);
    townList_->stackUnder(selectedCountLabel_);
    townList_->viewport()->installEventFilter(this);
    connect(townList_, &QListWidget::itemSelectionChanged, this, [this] { RecordSelectedTowns(); });
}

bool TownPicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && townList_ && watched == townList_->viewport())
        ShowSaveTownsButton();
    return QObject::eventFilter(watched, event);
}

void TownPicker::FillTownBoxForRegion() {
    const int region = regionBox_->currentIndex();
    if (region == -1)
        return;
    townBox_->clear();
    FillRegion(regionTowns_, region);
    QStringList names;
    for (int slot = 1; slot <= regionTowns_.count; ++slot)
        names << TownName(regionTowns_[slot]);
    townBox_->addItems(names);
    townBox_->setCurrentIndex(-1);
    // In multi-town mode the boxes stay hidden; they only hold the single-town choice.
    townBox_->setVisible(regionBox_->isVisibleTo(&window_));
}

void TownPicker::RebuildSingleTownBoxes() {
    selectedCountLabel_->hide();
    if (townList_)
        townList_->hide();
    regionBox_->show();
    townBox_->hide(); // shown again once a region is chosen
    FillSingleTownBoxes();
    emit ChoiceChanged();
}

// Rebuilds the region and town boxes from the saved choice; in multi-town mode they are
// hidden but still hold that choice, so saving the lists keeps it in gorod.ini.
void TownPicker::FillSingleTownBoxes() {
    {
        const QSignalBlocker blocker(regionBox_);
        regionBox_->clear();
        for (int region = 0; region < kRegionCount; ++region)
            regionBox_->addItem(RegionCaption(region));
        regionBox_->setCurrentIndex(-1);
    }
    townBox_->clear();
    townBox_->setCurrentIndex(-1);
    RestoreSingleTown();
}

void TownPicker::RestoreSingleTown() {
    QByteArray contents;
    if (!ReadSavedTownFile(settings_, "gorod.ini", contents))
        return;
    const std::optional<SingleTownChoice> choice = ParseGorodIni(contents);
    if (!choice || choice->regionRow < 0 || choice->regionRow >= regionBox_->count())
        return;
    regionBox_->setCurrentIndex(choice->regionRow);
    if (choice->townRow >= 0 && choice->townRow < townBox_->count())
        townBox_->setCurrentIndex(choice->townRow);
}

void TownPicker::RebuildMultiTownList() {
    EnsureTownList();
    regionBox_->hide();
    townBox_->hide();
    townList_->show();
    selectedCountLabel_->show();
    FillSingleTownBoxes();
    {
        const QSignalBlocker blocker(townList_);
        townList_->clear();
        QStringList names;
        for (int position = 1; position <= kCatalogSize; ++position) {
            const int region = RegionOfPosition(position);
            if (position == FirstPositionOfRegion(region))
                FillRegion(regionTowns_, region);
            names << TownName(regionTowns_[SlotOfPosition(position)]);
        }
        townList_->addItems(names);
    }
    RestoreMultiTown();
    listReady_ = true;
    // The count and the chosen towns follow the rebuilt list, never an earlier selection.
    RecordSelectedTowns();
}

void TownPicker::RestoreMultiTown() {
    QByteArray contents;
    if (!ReadSavedTownFile(settings_, "goroda.ini", contents))
        return;
    listReady_ = false;
    for (int row : ParseGorodaIni(contents, townList_->count()))
        townList_->item(row)->setSelected(true);
    selectedCountLabel_->setText(CountCaption(static_cast<int>(townList_->selectedItems().size())));
}

void TownPicker::RecordSelectedTowns() {
    if (!listReady_)
        return;
    selectedTowns_.Clear();
    int lastRegion = -1;
    for (int i = 1; i <= townList_->count() && i <= kCatalogSize; ++i) {
        if (!townList_->item(i - 1)->isSelected())
            continue;
        selectedTowns_.Add(CatalogEntry(i));
        lastRegion = RegionOfPosition(i);
    }
    const int count = selectedTowns_.count;
    if (lastRegion >= 0)
        FillRegion(regionTowns_, lastRegion);
    if (count > 0) {
        selectedCountLabel_->setText(CountCaption(count));
        selectedCountLabel_->show();
    } else {
        selectedCountLabel_->hide();
    }
    emit ChoiceChanged();
}

void TownPicker::ShowSaveTownsButton() {
    saveTownsButton_->show();
}

void TownPicker::SaveChosenTowns() {
    saveTownsButton_->hide();
    SaveTownLists();
}

void TownPicker::SaveTownLists() {
    WriteGorodIni({regionBox_->currentIndex(), townBox_->currentIndex()});
    if (!IsMultiLoad(settings_))
        return;
    QList<int> rows;
    for (int r = 0; townList_ && r < townList_->count(); ++r) {
        if (townList_->item(r)->isSelected())
            rows << r;
    }
    WriteGorodaIni(rows);
}

int TownPicker::SingleTownRow() const {
    return townBox_->currentIndex();
}

void TownPicker::SetTownListTip(const QString& tip) {
    EnsureTownList();
    townList_->setToolTip(tip);
}

} // namespace vetorlan
