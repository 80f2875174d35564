#pragma once

#include "core/AutorunStore.h"
#include "core/MessageBox.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>

namespace vetorlan {

// Stands for a disk that fills up: once `bytes` more bytes have been written, every write fails
// for want of space; with `atSync`, the writes seem to succeed and the failure shows only when
// the file is synced, as on a disk with delayed allocation. A negative count ends the
// simulation. Defined beside the writes in core/FileSystemObject.cpp; only tests call it.
void SimulateFullDisk(qint64 bytes, bool atSync = false);

} // namespace vetorlan

namespace vetorlan::test {

// A fresh, empty program folder for one test; ProgramFolder() points at it while it lives.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.path() + "/" + name; }
    void write(const QString& name, const QByteArray& contents) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;
    QStringList entries() const; // file and folder names, sorted

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Records every message box and answers from a queue (default: Ok, or No for questions).
class MessageBoxRecorder {
public:
    struct Box {
        QString text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    void answerNext(MsgAnswer answer) { answers_.push_back(answer); }
    const std::deque<Box>& boxes() const { return boxes_; }
    QStringList titles() const;

private:
    std::deque<Box> boxes_;
    std::deque<MsgAnswer> answers_;
    MessageBoxHandler previous_;
};

// An autorun store that keeps its entries in memory.
class FakeAutorunStore : public AutorunStore {
public:
    void SetAutorunValue(const QString& name, const QString& data) override {
        values[name] = data;
        ++sets;
    }
    void DeleteAutorunValue(const QString& name) override {
        values.remove(name);
        ++deletes;
    }
    QMap<QString, QString> values;
    int sets = 0;
    int deletes = 0;
};

// UTF-8 source text to Windows-1251 bytes, for expected file contents.
QByteArray cp1251(const char* utf8);

// The whole of a recorded file, failing the test when it cannot be read.
QByteArray ReadFixture(const QString& path);

} // namespace vetorlan::test
