#include "ui/SetupWizard.h"

#include "core/SaveParametr.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "ui/DialogWidgets.h"
#include "ui/MainWindowApi.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace vetorlan {

namespace {

QPointer<WizardPage>& currentPage() {
    static QPointer<WizardPage> page;
    return page;
}

// The caption of an option, word-wrapped beside its button; a click on it selects the option.
class OptionCaption : public QLabel {
public:
    OptionCaption(const QString& text, QRadioButton* option, QWidget* parent) : QLabel(text, parent), option_(option) {
        setWordWrap(true);
        setBuddy(option);
        // Wide enough that the long texts wrap into a few even lines.
        setMinimumWidth(fontMetrics().horizontalAdvance(QString(62, QChar(0x043E))));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && option_->isEnabled()) {
            option_->setFocus(Qt::MouseFocusReason);
            option_->click();
        }
    }

private:
    QRadioButton* option_;
};

const char* const PageTitles[] = {"Шаг первый", "Шаг второй", "Шаг третий", "Шаг четвертый"};

} // namespace

WizardPage::WizardPage(MainWindowApi& main, int page, const QString& frameCaption)
    : QDialog(nullptr), main_(main), page_(page) {
    setObjectName(QString("Master%1").arg(page));
    setWindowTitle(PageTitles[page - 1]);
    setAttribute(Qt::WA_DeleteOnClose);
    Frame1 = new QGroupBox(frameCaption, this);
    Frame1->setObjectName("Frame1");
    frameBox_ = new QVBoxLayout(Frame1);
    frameBox_->setSpacing(10);
    extraBox_ = new QVBoxLayout;
    main_.PauseScheduler();
}

void WizardPage::finishLayout() {
    Command2 = new QPushButton("< Назад", this);
    Command2->setObjectName("Command2");
    Command2->setEnabled(page_ > 1);
    Command1 = new QPushButton(page_ == 4 ? "Готово" : "Далее >", this);
    Command1->setObjectName("Command1");
    Command1->setDefault(true);
    Command3 = new QPushButton("Отмена", this);
    Command3->setObjectName("Command3");
    connect(Command1, &QPushButton::clicked, this, &WizardPage::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &WizardPage::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &WizardPage::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addSpacing(12);
    buttons->addWidget(Command3);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Frame1);
    outer->addLayout(extraBox_);
    outer->addSpacing(6);
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    Command1->setFocus();
}

QRadioButton* WizardPage::addOption(const char* name, const QString& caption) {
    auto* option = new QRadioButton(Frame1);
    option->setObjectName(name);
    option->setAccessibleName(caption);
    auto* label = new OptionCaption(caption, option, Frame1);
    label->setObjectName(QString(name) + "Caption");
    auto* row = new QHBoxLayout;
    row->addWidget(option, 0, Qt::AlignTop);
    row->addWidget(label, 1);
    frameBox_->addLayout(row);
    return option;
}

void WizardPage::closePage() {
    closed_ = true;
    // The last page restarts the scheduler however it is left.
    if (page_ == 4)
        main_.RestoreScheduler();
    if (currentPage() == this)
        currentPage() = nullptr;
    hide();
    deleteLater();
}

void WizardPage::Command1_Click() {
    if (closed_)
        return;
    WriteChoice();
    SaveSettings();
    if (page_ < 4) {
        ShowWizardPage(main_, page_ + 1);
        closePage();
    } else {
        main_.ShowMainWindow();
        closePage();
    }
}

void WizardPage::Command2_Click() {
    if (closed_ || page_ == 1)
        return;
    MainWindowApi& main = main_;
    const int previous = page_ - 1;
    closePage();
    ShowWizardPage(main, previous);
}

void WizardPage::reject() {
    // "Отмена", Esc, the title bar and Alt+F4 all end the wizard here.
    if (closed_)
        return;
    if (page_ < 4)
        main_.RestoreScheduler();
    main_.ShowMainWindow();
    closePage();
}

Master1::Master1(MainWindowApi& main) : WizardPage(main, 1, "Каким способом Вы подключены к сети Интернет?") {
    Option1 = addOption("Option1", "Модемное (Dial-Up) соединение с дозвоном по обычной телефонной линии");
    Option2 =
        addOption("Option2", "Выделенная линия, локальная сеть, соединение через xADSL-модем, GPRS (сотовый телефон)");
    (IsDialUp(AppSettings()) ? Option1 : Option2)->setChecked(true);
    finishLayout();
}

void Master1::WriteChoice() {
    AppSettings().WorkMode = Option1->isChecked() ? "DialUp" : "DirectConn";
}

Master2::Master2(MainWindowApi& main) : WizardPage(main, 2, "Выберите режим работы программы:") {
    Option1 = addOption("Option1", "Полностью автоматический. Программа стартует вместе с системой и уходит в трей "
                                   "(где часы). Загрузка прогноза погоды происходит автоматически без Вашего участия, "
                                   "что позволяет всегда иметь свежий прогноз.");
    Option2 = addOption("Option2", "Ручная загрузка прогноза погоды. В этом режиме большая часть заложенных в "
                                   "программу функций не используется.");
    (IsTrue(AppSettings().AutoRun) ? Option1 : Option2)->setChecked(true);
    finishLayout();
}

void Master2::WriteChoice() {
    const QString value = Option1->isChecked() ? "True" : "False";
    AppSettings().AutoRun = value;
    AppSettings().StartTray = value;
}

Master3::Master3(MainWindowApi& main) : WizardPage(main, 3, "Для скольких городов загружать прогноз?") {
    Option1 = addOption("Option1", "Вас интересует прогноз погоды для одного города. В базе программы содержится 400 "
                                   "городов России, Москвы и области, стран СНГ. Используйте в случае, если Вы живете "
                                   "в достаточно крупном городе.");
    Option2 = addOption("Option2", "Несколько городов. Используйте в случае, если Вашего города нет в базе программы "
                                   "и загружайте несколько прогнозов для ближайших к Вам населенных пунктов.");
    (AppSettings().MultiLoad == "False" ? Option1 : Option2)->setChecked(true);
    finishLayout();
}

void Master3::WriteChoice() {
    AppSettings().MultiLoad = Option1->isChecked() ? "False" : "True";
}

Master4::Master4(MainWindowApi& main) : WizardPage(main, 4, "Заключительный этап") {
    Check1 = new QCheckBox("Сообщить звуковым сигналом об успешной загрузке прогноза погоды", Frame1);
    Check2 = new QCheckBox("Показать новый прогноз сразу после его загрузки", Frame1);
    Check3 = new QCheckBox("Выйти из программы после загрузки прогноза", Frame1);
    Check1->setObjectName("Check1");
    Check2->setObjectName("Check2");
    Check3->setObjectName("Check3");
    Check1->setChecked(true);
    Check2->setChecked(true);

    auto* testLabel = new QLabel("Тест:", Frame1);
    auto* Command4 = new QToolButton(Frame1);
    Command4->setObjectName("Command4");
    const int iconSize = fontMetrics().height() + 4;
    Command4->setIcon(QIcon(LoudspeakerPicture(true, iconSize, devicePixelRatio())));
    Command4->setIconSize(QSize(iconSize, iconSize));
    Command4->setAccessibleName("Тест");
    connect(Command4, &QToolButton::clicked, this, [] { PlaySuccessSound(); });
    testLabel->setBuddy(Command4);

    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(Check1);
    soundRow->addStretch();
    soundRow->addWidget(testLabel);
    soundRow->addWidget(Command4);
    frameBox_->addLayout(soundRow);
    frameBox_->addWidget(Check2);
    frameBox_->addWidget(Check3);
    extraBox_->addWidget(buildNotes());
    finishLayout();
}

QWidget* Master4::buildNotes() {
    auto* notes = new QWidget(this);
    notes->setObjectName("Notes");
    auto* grid = new QGridLayout(notes);
    grid->setContentsMargins(4, 8, 4, 0);
    auto* title = new QLabel("Примечание:", notes);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0, 1, 2);
    const QString texts[] = {"При нажатии на кнопку \"свернуть\" программа сворачивается в трей (где находятся часы)",
                             "Щелчок ЛЕВОЙ кнопкой мыши по иконке программы в трее покажет прогноз погоды",
                             "Щелчок ПРАВОЙ кнопкой мыши по иконке программы в трее откроет меню."};
    const int pictureSize = 2 * fontMetrics().height();
    const QPixmap pictures[] = {TrayNotePicture(pictureSize, devicePixelRatio()),
                                MouseNotePicture(pictureSize, devicePixelRatio())};
    for (int i = 0; i < 3; ++i) {
        auto* note = new QLabel(texts[i], notes);
        note->setObjectName(QString("Note%1").arg(i + 1));
        note->setWordWrap(true);
        grid->addWidget(note, i + 1, 1);
    }
    for (int i = 0; i < 2; ++i) {
        auto* picture = new QLabel(notes);
        picture->setObjectName(QString("NotePicture%1").arg(i + 1));
        picture->setPixmap(pictures[i]);
        grid->addWidget(picture, 1 + i, 0, i == 0 ? 1 : 2, 1, Qt::AlignCenter);
    }
    grid->setColumnStretch(1, 1);
    return notes;
}

void Master4::WriteChoice() {
    Settings& s = AppSettings();
    s.Sound = Check1->isChecked() ? "True" : "False";
    s.ShellLoad = Check2->isChecked() ? "True" : "False";
    s.LoadExit = Check3->isChecked() ? "True" : "False";
}

void ShowWizardPage(MainWindowApi& main, int page) {
    WizardPage* next = nullptr;
    switch (page) {
    case 1:
        next = new Master1(main);
        break;
    case 2:
        next = new Master2(main);
        break;
    case 3:
        next = new Master3(main);
        break;
    default:
        next = new Master4(main);
        break;
    }
    currentPage() = next;
    next->show();
    next->raise();
    next->activateWindow();
}

WizardPage* CurrentWizardPage() {
    return currentPage();
}

} // namespace vetorlan
