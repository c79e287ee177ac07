#!/bin/sh
# Starts Tonvera from its program folder, which holds its data files and pictures.
# The folder is found relative to this script, so an installation can be moved as a whole.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tonvera/tonvera" "$@"
