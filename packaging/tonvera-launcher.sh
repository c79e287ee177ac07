#!/bin/sh
# Starts the Tonvera program of this launcher's name (tonvera, tonvera-query) from its program
# folder, which holds the data files and pictures. The folder is found relative to this script, so an
# installation can be moved as a whole, and the launcher may be reached through a symbolic link.
self=$(readlink -f "$0")
exec "$(dirname "$self")/../lib/tonvera/$(basename "$self")" "$@"
