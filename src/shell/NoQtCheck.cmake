# Logic never includes Qt: configuring fails when a logic library links a Qt target, or
# when a logic source includes a Qt header. Included by the top CMakeLists after every
# folder has been added, so all targets exist when it looks.

# Fails when a target in TARGETS, or anything it links, is a Qt library; fails when a
# file in SOURCES includes a Qt header (<QString>, <QtCore/...>, "QObject").
function(bfn_check_no_qt)
  cmake_parse_arguments(ARG "" "" "TARGETS;SOURCES" ${ARGN})
  foreach(source ${ARG_SOURCES})
    file(STRINGS ${source} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Z][A-Za-z]*|Qt[A-Za-z]*/[^>\"]*)[>\"]")
    if(hits)
      message(FATAL_ERROR "Logic includes Qt: ${source}: ${hits}")
    endif()
  endforeach()
  set(seen "")
  set(pending ${ARG_TARGETS})
  while(pending)
    list(POP_FRONT pending target)
    if(target IN_LIST seen OR NOT TARGET ${target})
      continue()
    endif()
    list(APPEND seen ${target})
    get_target_property(links ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(lib IN LISTS links interface)
      if(lib MATCHES "^(Qt[0-9]*::|Qt[0-9]*[A-Z])" OR lib MATCHES "(^|/)libQt[0-9]")
        message(FATAL_ERROR "Logic links Qt: ${target} -> ${lib}")
      endif()
      if(TARGET ${lib})
        list(APPEND pending ${lib})
      endif()
    endforeach()
  endwhile()
endfunction()

# The libraries of the logic folders (window code lives in separate targets), and the logic
# units of the folders that also hold windows.
file(GLOB _bfn_logic_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/common/*
  ${PROJECT_SOURCE_DIR}/src/storage/*
  ${PROJECT_SOURCE_DIR}/src/shell/EMsgTxt* ${PROJECT_SOURCE_DIR}/src/shell/Eerror32*
  ${PROJECT_SOURCE_DIR}/src/shell/ETider* ${PROJECT_SOURCE_DIR}/src/shell/ESmall*
  ${PROJECT_SOURCE_DIR}/src/shell/ECountForm* ${PROJECT_SOURCE_DIR}/src/shell/GloDefs*
  ${PROJECT_SOURCE_DIR}/src/shell/ekonfig32* ${PROJECT_SOURCE_DIR}/src/shell/emainform_editor*
  ${PROJECT_SOURCE_DIR}/src/printing/Printer* ${PROJECT_SOURCE_DIR}/src/printing/ewrite32*
  ${PROJECT_SOURCE_DIR}/src/registers/* ${PROJECT_SOURCE_DIR}/src/bookkeeping_ui/bfpick32*
  ${PROJECT_SOURCE_DIR}/src/bookkeeping_ui/*_rules* ${PROJECT_SOURCE_DIR}/src/exchange/*
  ${PROJECT_SOURCE_DIR}/src/tabledisplay/*)
list(FILTER _bfn_logic_sources INCLUDE REGEX "\\.(h|cpp)$")
bfn_check_no_qt(TARGETS common storage shell_services shell printing print_engine bookkeeping bookkeeping_entry
                        exchange tabledisplay reports registers bookkeeping_forms
                SOURCES ${_bfn_logic_sources})
