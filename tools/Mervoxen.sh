#!/bin/sh
# The link program: opens its one argument, a file or a folder, with the desktop's default
# application.
exec xdg-open "$1"
