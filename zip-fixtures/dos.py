import sys, zipfile
def add(z, name, data, attributes, method):
    info = zipfile.ZipInfo(name, (2021, 7, 28, 11, 22, 48))
    info.create_system = 0
    info.external_attr = attributes
    info.compress_type = method
    z.writestr(info, data)
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    add(z, 'Windows x64/UNIDRV.DLL', bytes(range(256)) * 300, 0x20, zipfile.ZIP_DEFLATED)
    add(z, 'Windows x64/', b'', 0x10, zipfile.ZIP_STORED)
    add(z, 'Windows NT x86/', b'', 0x10, zipfile.ZIP_STORED)
    add(z, 'Windows NT x86/ZNDRV.INF', b'[Version]\r\n' * 5000, 0x20, zipfile.ZIP_DEFLATED)
    add(z, 'Windows NT x86/EMPTY.GPD', b'', 0x20, zipfile.ZIP_DEFLATED)
