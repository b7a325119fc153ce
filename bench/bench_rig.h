#pragma once

// What the loading and tick benchmarks share: a temporary working folder and a
// window holding the two process page controls over a real engine.
#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/base/clock.h"
#include "gui/dialogs.h"
#include "gui/process/process_tab.h"

#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

struct BenchRig
{
    BenchRig()
    {
        QDir(dir.path()).mkpath(QStringLiteral("proc"));
        ctx.clock = &clock;
        ctx.dialogs = &dialogs;
        ctx.settings = &settings;
        SettingsValues paths;
        paths.paperProcessFile = QStringLiteral("papers.txt");
        paths.filmProcessFile = QStringLiteral("films.txt");
        paths.processFolder = QStringLiteral("proc");
        settings.takePaths(paths);
        window.resize(792, 582);
        paperTabs = new QTabWidget(&window);
        filmTabs = new QTabWidget(&window);
        paperTabs->setGeometry(0, 0, 766, 518);
        filmTabs->setGeometry(0, 0, 766, 518);
        window.show();
    }

    // Made once the files are in place and the environment is known.
    ProcessPages &makePages(ProcessEnvironment env = {})
    {
        pages = std::make_unique<ProcessPages>(ctx, paperTabs, filmTabs, &window, std::move(env));
        return *pages;
    }

    QTemporaryDir dir;
    Settings settings{QDir(dir.path()), QString()};
    SystemClock clock;
    ScriptedDialogs dialogs;
    AppContext ctx;
    QWidget window;
    QTabWidget *paperTabs = nullptr;
    QTabWidget *filmTabs = nullptr;
    std::unique_ptr<ProcessPages> pages;
};
