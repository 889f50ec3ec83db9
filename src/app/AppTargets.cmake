# The application: start-up, main window, connection and run control, chart set-up and
# the parameter dialog (library `app`), and the executable TivanePeloTool.
add_library(app STATIC
  AppMessageBox.cpp
  AppOptions.cpp
  HealthStrip.cpp
  LanguageChoice.cpp
  OverviewDialog.cpp
  ParamConfigDlg.cpp
  ParamWorkbench.cpp
  ParamWorkbenchTable.cpp
  ParamReadCallback.cpp
  QtTranslations.cpp
  PaintTrace.cpp
  PaneResizeFilter.cpp
  PictureFile.cpp
  PortTexts.cpp
  RecordingBar.cpp
  RecordingOverview.cpp
  ScriptedRun.cpp
  StateBand.cpp
  StatisticsPanel.cpp
  TextToTruncatedInt.cpp
  ToolFolders.cpp
  Vetra_Tivane_PeloToolApp.cpp
  Vetra_Tivane_PeloToolDlg.cpp
  Vetra_Tivane_PeloToolDlg_Chart.cpp
  Vetra_Tivane_PeloToolDlg_Connection.cpp
  Vetra_Tivane_PeloToolDlg_Health.cpp
  Vetra_Tivane_PeloToolDlg_Insight.cpp
  Vetra_Tivane_PeloToolDlg_Overview.cpp
  Vetra_Tivane_PeloToolDlg_Params.cpp
  Vetra_Tivane_PeloToolDlg_Presence.cpp
  Vetra_Tivane_PeloToolDlg_Reconnect.cpp
  Vetra_Tivane_PeloToolDlg_Recording.cpp
  Vetra_Tivane_PeloToolDlg_Replay.cpp
)
add_library(vetra::app ALIAS app)
target_include_directories(app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(app PUBLIC
  vetra::app_ui vetra::acquisition vetra::recording vetra::insight vetra::session vetra::config vetra::params vetra::chart vetra::controls
  vetra::bitmap vetra::radar vetra::ports vetra::common Qt6::Widgets)

# Built into the build root, so that Image/ (the presence pictures) and Log/ are beside it.
add_executable(TivanePeloTool main.cpp)
target_link_libraries(TivanePeloTool PRIVATE vetra::app)
set_target_properties(TivanePeloTool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(TivanePeloTool presence_pictures)
