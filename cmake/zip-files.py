"""zip-files.py ZIP EPOCH FILE...: a zip whose bytes depend only on the files, their order and EPOCH."""
import sys
import time
import zipfile

zip_path, epoch, *files = sys.argv[1:]
stamp = time.gmtime(int(epoch))[:6]
with zipfile.ZipFile(zip_path, "w") as z:
    for name in files:
        info = zipfile.ZipInfo(name, date_time=stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3
        info.external_attr = 0o100644 << 16
        with open(name, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
