#!/bin/sh
# The run command of the README: brings make if the machine lacks it, then
# `make run` installs the rest, builds and runs.
set -e
cd "$(dirname "$0")"
if ! command -v make >/dev/null 2>&1; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq make
fi
exec make run
