# The overview of a whole recording with its state band, and pictures saved aside:
# widgets that need no main window, so that radarcli draws the same overview picture
# without linking the window.
add_library(overview_picture STATIC
  PictureFile.cpp
  RecordingOverview.cpp
  StateBand.cpp
)
add_library(vetra::overview_picture ALIAS overview_picture)
target_include_directories(overview_picture PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(overview_picture PUBLIC
  vetra::app_ui vetra::chart vetra::insight vetra::recording_index vetra::common Qt6::Widgets)

# The application: start-up, main window, connection and run control, chart set-up and
# the parameter dialog (library `app`), and the executable TivanePeloTool.
add_library(app STATIC
  AppMessageBox.cpp
  AppOptions.cpp
  HealthStrip.cpp
  OverviewDialog.cpp
  ParamConfigDlg.cpp
  ParamWorkbench.cpp
  ParamWorkbenchTable.cpp
  ParamReadCallback.cpp
  QtTranslations.cpp
  PaintTrace.cpp
  PaneResizeFilter.cpp
  PortTexts.cpp
  RecordingBar.cpp
  ScriptedRun.cpp
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
  vetra::overview_picture vetra::app_ui vetra::session vetra::acquisition vetra::recording vetra::insight vetra::config vetra::params vetra::chart vetra::controls
  vetra::bitmap vetra::radar vetra::ports vetra::common Qt6::Widgets)

# Built into the build root, so that Image/ (the presence pictures) and Log/ are beside it.
add_executable(TivanePeloTool main.cpp)
target_link_libraries(TivanePeloTool PRIVATE vetra::app)
set_target_properties(TivanePeloTool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(TivanePeloTool presence_pictures)
