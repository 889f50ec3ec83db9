# Fails unless PROGRAM's dynamic symbol table defines each exported function under its
# plain name.
set(expected
  Gdiplus_Init Gdiplus_DeInit Gdiplus_CreateBitmap Gdiplus_CopyBitmap Gdiplus_DeleteBitmap
  Gdiplus_BitmapOK Gdiplus_BitmapLastError Gdiplus_GetPictureTypeByFileNameW
  Gdiplus_GetPictureTypeByFileNameA Gdiplus_GetEncoderClsidByFormatTypeW
  Gdiplus_GetEncoderClsidByFormatTypeA Gdiplus_GetEncoderClsidByPictureType
  Gdiplus_LoadBitmapFromFileW Gdiplus_LoadBitmapFromFileA Gdiplus_LoadBitmapFromResourceW
  Gdiplus_LoadBitmapFromResourceA Gdiplus_LoadBitmapFromData Gdiplus_LoadBitmapFromImageBits
  Gdiplus_SaveBitmapToFileW Gdiplus_SaveBitmapToFileA Gdiplus_ConvertImageFormatW
  Gdiplus_ConvertImageFormatA Gdiplus_CreateColorBmp Gdiplus_ModifyBitmapFormat
  Gdiplus_StretchBitmap Gdiplus_ResizeBitmap Gdiplus_DisposeBitmapByMode
  Gdiplus_GetBitmapFromBitmap Gdiplus_GetBitmapFromBitmapByRect Gdiplus_Gray
  Gdiplus_GetHBitmap Gdiplus_GetBitmapBuffer Gdiplus_SetBitmapAlpha
  Gdiplus_CreateRgnFromBitmap Gdiplus_GetStringFormat Gdiplus_DrawText Gdiplus_DrawBitmap
  Gdiplus_DrawAlphaBitmap Gdiplus_FillRect Gdiplus_FillPolygon Gdiplus_DrawRect)
list(LENGTH expected count)
if(NOT count EQUAL 41)
  message(FATAL_ERROR "expected 41 names, the list has ${count}")
endif()

execute_process(COMMAND nm -D --defined-only "${PROGRAM}" OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}")
endif()
set(missing "")
foreach(name IN LISTS expected)
  # A defined text symbol, undecorated: "<address> T <name>" at the end of a line.
  if(NOT symbols MATCHES " T ${name}\n")
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not exported: ${missing}")
endif()
message(STATUS "all ${count} functions exported")
