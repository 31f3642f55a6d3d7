import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    i = zipfile.ZipInfo('dir/', (2021, 7, 28, 11, 22, 48))
    i.create_system = 0
    i.external_attr = 0x10
    z.writestr(i, b'')
    i = zipfile.ZipInfo('dir/file.txt', (2021, 7, 28, 11, 22, 48))
    i.create_system = 0
    i.external_attr = 0x20
    z.writestr(i, b'content ' * 10000)
    z.writestr('../escape.txt', b'outside')
