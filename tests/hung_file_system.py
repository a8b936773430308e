#!/usr/bin/python3
# A file system whose files can be listed and looked at but whose reads never answer,
# as a network share does when its server has gone: hung_file_system.py MOUNTPOINT.
import stat
import sys
import threading

import fusepy as fuse

NAMES = ["playlist.ini", "qian.ini", "hou.ini", "bell.wav"]


class Hung(fuse.Operations):
    def getattr(self, path, fh=None):
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        if path[1:] in NAMES:
            return dict(st_mode=stat.S_IFREG | 0o644, st_nlink=1, st_size=64)
        raise fuse.FuseOSError(2)

    def readdir(self, path, fh):
        return [".", ".."] + NAMES

    def open(self, path, flags):
        return 0

    def read(self, path, size, offset, fh):
        threading.Event().wait()  # never


fuse.FUSE(Hung(), sys.argv[1], foreground=True, nothreads=False)
