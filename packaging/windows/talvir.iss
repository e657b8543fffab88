; Inno Setup script: the Windows installer of the configurator, with Start-menu entries.
; Built from the deployed folder (docs/windows.md), e.g. from the repository's top folder:
;   iscc /DAppVersion=1.0 /DDeployDir=C:\talvir\install-ucrt64\bin packaging\windows\talvir.iss
; AppVersion is what "kcftool --version" prints (CMake's project version).

#ifndef AppVersion
  #error Give /DAppVersion=X.Y (kcftool --version)
#endif
#ifndef DeployDir
  #define DeployDir "..\..\install-ucrt64\bin"
#endif

[Setup]
AppId={{6B0F3C52-8E4A-4B7D-9C55-2F1A7E0D4C31}
AppName=Talvir transceiver configurator
AppVersion={#AppVersion}
AppPublisher=Talvir
DefaultDirName={autopf}\Talvir\Configurator
DefaultGroupName=Talvir
OutputBaseFilename=talvir-configurator-{#AppVersion}-setup
ArchitecturesAllowed=x64compatible
ArchitecturesInstallIn64BitMode=x64compatible
Compression=lzma2
SolidCompression=yes
PrivilegesRequired=admin
UninstallDisplayIcon={app}\MXR_600r.exe

[Languages]
Name: "ru"; MessagesFile: "compiler:Languages\Russian.isl"
Name: "en"; MessagesFile: "compiler:Default.isl"

[Files]
; Everything windeployqt and the DLL copy put beside the executables: the programs, the tools, Qt,
; its plugins, translations\qt_ru.qm, pxlib, the compiler's run-time, CentralType.db and the demo
; console (demo_console.ini and demo_console\).
Source: "{#DeployDir}\*"; DestDir: "{app}"; Flags: ignoreversion recursesubdirs createallsubdirs

[Dirs]
; Where an installed console's alias file goes (C:\ProgramData\Talvir\console.ini); the demo console is
; used until it exists.
Name: "{commonappdata}\Talvir"

[Icons]
Name: "{group}\Конфигуратор Талвир ЗКР (MXR_600r)"; Filename: "{app}\MXR_600r.exe"; WorkingDir: "{app}"
Name: "{group}\Конфигуратор Талвир-MXR ЗКР (MXR_duziv)"; Filename: "{app}\MXR_duziv.exe"; WorkingDir: "{app}"
Name: "{group}\{cm:UninstallProgram,Talvir}"; Filename: "{uninstallexe}"
