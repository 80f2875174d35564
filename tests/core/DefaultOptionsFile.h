#pragma once

#include <QByteArray>

namespace vetorlan::test {

// The default Options.ini, written out line by line.
inline const QByteArray kDefaultFile = "Vetorlan Options\r\n"
                                       "{Head}\r\n"
                                       "\r\n"
                                       "[Main:]\r\n"
                                       "VersionProgram=1.2 ' Do not edit!\r\n"
                                       "AutoRun=True\r\n"
                                       "StartTray=False\r\n"
                                       "WorkMode=DialUp\r\n"
                                       "GorodSave=True\r\n"
                                       "\r\n"
                                       "[Loader:]\r\n"
                                       "LoadExit=False\r\n"
                                       "ShellLoad=False\r\n"
                                       "\r\n"
                                       "[Direct Connection Mode:]\r\n"
                                       "TimeLoad=07:00\r\n"
                                       "CheckActual=True\r\n"
                                       "ActualWait=12\r\n"
                                       "\r\n"
                                       "[Dial Up Mode:]\r\n"
                                       "PauseOnLine=5\r\n"
                                       "HangUp=False\r\n"
                                       "\r\n"
                                       "[View:]\r\n"
                                       "UseInternetExplorer=True\r\n"
                                       "\r\n"
                                       "[Copy:]\r\n"
                                       "NimboraCopy=False\r\n"
                                       "PathNimboraCopy=c:\\\r\n"
                                       "CopyPictures=False\r\n"
                                       "\r\n"
                                       "[Adding:]\r\n"
                                       "MultiLoad=False\r\n"
                                       "Sound=True\r\n"
                                       "MSGError=True\r\n"
                                       "IndexStyle=Animation\r\n"
                                       "TranslitFileName=False\r\n"
                                       "\r\n"
                                       "{End}\r\n";

} // namespace vetorlan::test
