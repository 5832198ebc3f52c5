#!/bin/sh
# Starts Ostrel from its own folder, where it finds its skins and its manual.
here=$(CDPATH= cd -- "$(dirname -- "$(readlink -f -- "$0")")" && pwd) || exit 1
cd -- "$here/../lib/ostrel" || exit 1
exec ./Ostrel "$@"
