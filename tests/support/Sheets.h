#pragma once

#include "spreadsheet/Excel.h"

#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

// Workbooks written during a test go to a throwaway folder and are "shown" to this opener,
// which records them; read() gives their contents through a real reader.
class SheetsFixture : public excel::Opener {
public:
    SheetsFixture();
    ~SheetsFixture() override;

    bool open(const QString &path) override;

    // {"sheets": n, "title": first sheet's name, "cells": {"A1": {value, type ("number"/"text"), format, bold}},
    //  "widths": {"A": w}}; empty with a test failure when the reader fails.
    static QJsonObject read(const QString &path);
    QJsonObject readLast() const { return opened.isEmpty() ? QJsonObject() : read(opened.last()); }
    QString folder() const { return dir.path(); }

    QStringList opened;
    bool canOpen = true;

private:
    QTemporaryDir dir;
};
