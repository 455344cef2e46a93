#pragma once
// The grid over three products in a window beside a line edit that takes the focus away, with
// the keys going where the keyboard focus is, as a user's do, and scripted dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "controls/TDBGrid.h"
#include "dataaccess/TDataSource.h"
#include "framework/EAbort.h"
#include "support/TScriptedDialogs.h"
#include "support/TestDataSets.h"

class TDBGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ds = MakeProducts({{"1.01", "1", "Café"}, {"1.02", "2", "Chá"}, {"1.03", "3", "Mate"}});
        source.SetDataSet(ds.get());
        grid = new TDBGrid(&window);
        other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->Columns().Add("CDARVPROD", 120);
        grid->Columns().Add("NMPRODUTO", 200);
        grid->SetDataSource(&source);
        window.resize(500, 300);
        window.show();
        window.activateWindow();
        grid->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { grid->SetDataSource(nullptr); }

    QLineEdit* Editor() { return grid->findChild<QLineEdit*>(); }
    QLineEdit* OpenEditor() {  // closed editors linger hidden until deleted
        for (QLineEdit* e : grid->findChildren<QLineEdit*>())
            if (e->isVisible()) return e;
        return nullptr;
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = OpenEditor() ? static_cast<QWidget*>(OpenEditor()) : grid;
        QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    }
    // Each key goes where the keyboard focus is: the grid, or its editor once one is open.
    void Type(const char* text) {
        for (QChar c : QString::fromUtf8(text)) {
            QWidget* target = OpenEditor() ? static_cast<QWidget*>(OpenEditor()) : grid;
            QTest::keyClicks(target, QString(c));
        }
    }

    TScriptedDialogs dialogs;
    std::unique_ptr<TClientDataSet> ds;
    TDataSource source;
    QWidget window;
    TDBGrid* grid;
    QLineEdit* other;
};
