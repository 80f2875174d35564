"""The settings files of a benchmark's program folder (Options.ini's 39 lines, gorod.ini, goroda.ini)."""

OPTIONS = ["Vetorlan Options", "{Head}", "", "[Main:]", "VersionProgram=1.2 ' Do not edit!", "AutoRun=False",
           "StartTray=False", "WorkMode=DirectConn", "GorodSave=True", "", "[Loader:]", "LoadExit=False",
           "ShellLoad=False", "", "[Direct Connection Mode:]", "TimeLoad=07:00", "CheckActual=True", "ActualWait=12",
           "", "[Dial Up Mode:]", "PauseOnLine=5", "HangUp=False", "", "[View:]", "UseInternetExplorer=True", "",
           "[Copy:]", "NimboraCopy=False", "PathNimboraCopy=c:\\", "CopyPictures=False", "", "[Adding:]",
           "MultiLoad=False", "Sound=False", "MSGError=False", "IndexStyle=Animation", "TranslitFileName=False", "",
           "{End}"]


def write_settings(folder, start_tray, multi, towns):
    """Town row 22 of region 1 in single-town mode; the first `towns` catalogue towns in multi-town mode."""
    changes = {"StartTray=False": "StartTray=%s" % start_tray, "MultiLoad=False": "MultiLoad=%s" % multi}
    options = [changes.get(line, line) for line in OPTIONS]
    open(folder + "/Options.ini", "wb").write(("\r\n".join(options) + "\r\n").encode("cp1251"))
    open(folder + "/gorod.ini", "wb").write(b" 1  22 \r\n")
    open(folder + "/goroda.ini", "wb").write((" %d " % towns + "".join(" %d " % r for r in range(towns))).encode())
