#!/usr/bin/env bash
# Builds Kestrim (Release, into build/) and starts it; the optional argument is a login
# "user/password@host", for example: ./run.sh scott/tiger@demo
source "$(dirname "$0")/tools/common.sh"
kestrim_install_packages
kestrim_build "$KESTRIM_ROOT/build" -DCMAKE_BUILD_TYPE=Release -DKESTRIM_TESTS=OFF -DKESTRIM_BENCH=ON -- kestrim
exec "$KESTRIM_ROOT/build/bin/kestrim" "$@"
