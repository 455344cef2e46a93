#pragma once
// The application object: a registry the host fills at start (main window, MDI area,
// configuration) and that modules reach through Application(). It owns the screens it creates:
// each lives in an MDI sub-window of the main window (or as a top-level window when there is none,
// as in tests) and is released when closed. UI thread only.

#include <memory>

#include "framework/THostConfig.h"

class QMainWindow;
class QMdiArea;
class QWidget;
class TfrmPadraoGrid;

enum TCursor { crDefault = 0, crHourGlass = -11 };

class TApplication {
  public:
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    QMainWindow* MainForm() const { return m_mainForm; }
    QMdiArea* MdiArea() const { return m_mdiArea; }
    void SetMainForm(QMainWindow* mainForm, QMdiArea* mdiArea);  // nullptrs: none

    const THostConfig& Config() const { return m_config; }
    // Connections opened from now on take its TLS settings.
    void SetConfig(THostConfig config);

    // The application-wide mouse cursor: crHourGlass shows the wait cursor, crDefault restores the
    // normal one (whatever was set before).
    void SetCursor(int cursor);
    int Cursor() const { return m_cursor; }

    // Creates a screen: sets reference, builds the form, places it in the MDI area (hidden) and
    // runs its FormCreate. An error leaving FormCreate is reported (EAbort silently) and creation
    // completes; an error from the constructor clears reference and travels on.
    template <class T>
    void CreateForm(T*& reference) {
        reference = nullptr;
        auto form = std::make_unique<T>();
        reference = form.get();
        Adopt(form.release());
    }

    static TApplication& Instance();

  private:
    TApplication() = default;
    void Adopt(TfrmPadraoGrid* form);  // takes ownership

    QMainWindow* m_mainForm = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    THostConfig m_config;
    int m_cursor = crDefault;
};

inline TApplication& Application() { return TApplication::Instance(); }
