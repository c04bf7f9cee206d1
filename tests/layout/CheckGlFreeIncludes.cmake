# Fails when a source under one of DIRS (a ;-separated list) includes OpenGL or
# GLUT, or reaches up into render/ or a program's app/ folder: the GL-free
# folders sit below drawing and the programs and must build and test without
# them. A relative "../" include is refused too, so no path gets round the rule.
set(forbidden "GL/|render/|hedrix/app/|crimpa/app/|\\.\\./")
set(found "")
foreach(dir ${DIRS})
  if(NOT IS_DIRECTORY ${dir})
    message(FATAL_ERROR "${dir} is not a folder: the GL-free folders have moved, update this check")
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false ${dir}/*.h ${dir}/*.cpp ${dir}/*.inc)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})")
    foreach(line ${includes})
      string(APPEND found "\n  ${source}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "GL-free code includes drawing or program code:${found}")
endif()
