# Grades an assignment's own folder, given as "." from inside it, and a wrong
# variant with its rubric: the reference solution must get full marks under the
# folder's name, the variant less.
#   cmake -DGRADE=orvik-grade -DASSIGNMENT=examples/assignments/NAME -DWRONG=wrong.oasm -P assignment_grades.cmake
get_filename_component(name ${ASSIGNMENT} NAME)
execute_process(COMMAND ${GRADE} --csv - ${name}-rubric.txt . ${WRONG} WORKING_DIRECTORY ${ASSIGNMENT}
                OUTPUT_VARIABLE csv ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "orvik-grade ended with ${status}:\n${errors}")
endif()
string(REPLACE "\n" ";" rows "${csv}")
list(GET rows 1 reference)
list(GET rows 2 wrong)
string(REPLACE "," ";" reference "${reference}")
string(REPLACE "," ";" wrong "${wrong}")
list(GET reference 0 referenceId)
list(GET reference 1 referenceScore)
list(GET reference 2 maximum)
list(GET wrong 1 wrongScore)
if(NOT referenceScore EQUAL maximum OR maximum EQUAL 0)
  message(FATAL_ERROR "the reference solution got ${referenceScore} of ${maximum}:\n${csv}")
endif()
if(NOT referenceId STREQUAL name)
  message(FATAL_ERROR "the folder ${name}, given as ., is graded as '${referenceId}':\n${csv}")
endif()
if(NOT wrongScore LESS maximum)
  message(FATAL_ERROR "the wrong variant got full marks:\n${csv}")
endif()
message(STATUS "${name}: reference ${referenceScore} of ${maximum}, wrong variant ${wrongScore}")
