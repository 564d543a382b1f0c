# The interface's texts (tr() and Texts::tr(), the Japanese text as the
# source), extracted by lupdate into translations/zelmora.ts.
#   cmake -DLUPDATE=<lupdate> -DSOURCE=<source root> [-DCHECK=<scratch file>] -P text_catalogue.cmake
# Without CHECK it writes the catalogue anew; with CHECK it extracts into the
# scratch file and fails when the catalogue differs from it. No locations are
# kept, so only a changed text changes the catalogue, never a moved line.
set(catalogue "${SOURCE}/translations/zelmora.ts")
if(CHECK)
  set(out "${CHECK}")
else()
  set(out "${catalogue}")
endif()
file(REMOVE "${out}")
execute_process(
  COMMAND "${LUPDATE}" -silent -extensions cpp,h -I "${SOURCE}/src" -locations none -no-obsolete
          -source-language ja "${SOURCE}/src" -ts "${out}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${result})")
endif()
if(CHECK)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${catalogue}" "${out}"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "translations/zelmora.ts is not the texts of src/ (extracted now: "
                        "${out}). Write it anew with: cmake --build --preset default "
                        "--target update_text_catalogue")
  endif()
endif()
