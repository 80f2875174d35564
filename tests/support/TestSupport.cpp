#include "tests/support/TestSupport.h"

#include "core/CodePage.h"
#include "core/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace vetorlan::test {

TempProgramFolder::TempProgramFolder() : previous_(ProgramFolder()) {
    SetProgramFolder(dir_.path());
}

TempProgramFolder::~TempProgramFolder() {
    SetProgramFolder(previous_);
}

void TempProgramFolder::write(const QString& name, const QByteArray& contents) const {
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(contents) != contents.size())
        qFatal("cannot write test file %s", qPrintable(file(name)));
}

QByteArray TempProgramFolder::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempProgramFolder::exists(const QString& name) const {
    return QFileInfo::exists(file(name));
}

QStringList TempProgramFolder::entries() const {
    return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

MessageBoxRecorder::MessageBoxRecorder() {
    previous_ = SetMessageBoxHandler([this](const QString& text, const QString& title, MsgIcon icon, MsgButtons b) {
        boxes_.push_back({text, title, icon, b});
        if (!answers_.empty()) {
            MsgAnswer a = answers_.front();
            answers_.pop_front();
            return a;
        }
        return b == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHandler(previous_);
}

QStringList MessageBoxRecorder::titles() const {
    QStringList t;
    for (const Box& b : boxes_)
        t << b.title;
    return t;
}

QByteArray cp1251(const char* utf8) {
    return toCp1251(QString::fromUtf8(utf8));
}

QByteArray ReadFixture(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace vetorlan::test
