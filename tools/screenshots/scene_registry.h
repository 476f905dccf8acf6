// The scenes of kestrim-screenshots: each area of Kestrim registers named scenes (a function that
// builds a window in a given state) from its own source file, and the command renders every
// scene into <name>.png.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace screenshots {

using TSceneFactory = std::function<std::unique_ptr<QWidget>()>;

struct TScene {
    const char *Name;
    TSceneFactory Make;
};

std::vector<TScene> &Scenes();

// Registers a scene at start-up: `static screenshots::TSceneRegistration x("name", factory);`.
struct TSceneRegistration {
    TSceneRegistration(const char *name, TSceneFactory make) { Scenes().push_back({name, std::move(make)}); }
};

} // namespace screenshots
