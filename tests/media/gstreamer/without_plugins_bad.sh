#!/usr/bin/env bash
# Runs a test program with the plugins of gstreamer1.0-plugins-bad out of GStreamer's
# sight, as on a machine that has only what the program's package depends on.
#   without_plugins_bad.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
plugins=$(pkg-config --variable=pluginsdir gstreamer-1.0)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bad=$(dpkg-query -L gstreamer1.0-plugins-bad 2>/dev/null | sed -n 's|.*/gstreamer-1.0/\(.*\.so\)$|\1|p' || true)
mkdir "$work/plugins"
for f in "$plugins"/*.so; do
  grep -qxF "$(basename "$f")" <<<"$bad" || ln -s "$f" "$work/plugins/"
done
if [ -e "$work/plugins/libgstfluidsynthmidi.so" ] || [ -e "$work/plugins/libgstmidi.so" ]; then
  echo "the plugins of gstreamer1.0-plugins-bad are still in sight" >&2
  exit 1
fi
unset GST_PLUGIN_PATH GST_PLUGIN_PATH_1_0
# A registry of its own: the user's would be rewritten for this set and back again.
GST_PLUGIN_SYSTEM_PATH_1_0="$work/plugins" GST_REGISTRY_1_0="$work/registry.bin" "$@"
