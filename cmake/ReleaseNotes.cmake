# Reads the release notes (NEWS.md): each release is a heading
# "## VERSION (YYYY-MM-DD)" followed by a list of notes, "- " items continued
# on lines indented by two spaces.
#
#   chain_read_release_notes(FILE MAINTAINER)
#
# sets, for the newest release, CHAIN_RELEASE_VERSION, CHAIN_RELEASE_DATE
# (YYYY-MM-DD) and CHAIN_RELEASE_EPOCH (its midnight, UTC, in seconds since
# 1970), and CHAIN_DEBIAN_CHANGELOG: every release as a Debian changelog entry
# signed by MAINTAINER. A line that fits none of these forms stops the
# configuration, so a typo cannot silently drop a note.

# Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
function(_chain_days_from_civil year month day out)
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era
       "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  set(${out} ${days} PARENT_SCOPE)
endfunction()

# "Tue, 08 Dec 2026 00:00:00 +0000", the date form of a Debian changelog.
function(_chain_rfc2822_date year month day out)
  _chain_days_from_civil(${year} ${month} ${day} days)
  math(EXPR weekday "(${days} + 4) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday_name)
  math(EXPR month_index "${month} - 1")
  list(GET months ${month_index} month_name)
  if(day LESS 10)
    set(day "0${day}")
  endif()
  set(${out} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

function(chain_read_release_notes file maintainer)
  file(READ "${file}" text)
  # Semicolons would split the list of lines below: carry them as another character.
  string(ASCII 1 semicolon)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(changelog "")
  set(trailer "")
  set(version "")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
      set(this_version ${CMAKE_MATCH_1})
      set(this_date "${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
      set(year ${CMAKE_MATCH_2})
      set(month ${CMAKE_MATCH_3})
      set(day ${CMAKE_MATCH_4})
      string(REGEX REPLACE "^0" "" month "${month}")
      string(REGEX REPLACE "^0" "" day "${day}")
      if(month LESS 1 OR month GREATER 12 OR day LESS 1 OR day GREATER 31)
        message(FATAL_ERROR "${file}:${number}: no such date: ${line}")
      endif()
      if(version STREQUAL "")
        set(version ${this_version})
        set(date ${this_date})
        _chain_days_from_civil(${year} ${month} ${day} days)
        math(EXPR epoch "${days} * 86400")
      endif()
      string(APPEND changelog "${trailer}hanging-chain (${this_version}) unstable${semicolon} urgency=medium\n\n")
      _chain_rfc2822_date(${year} ${month} ${day} stamp)
      set(trailer "\n -- ${maintainer}  ${stamp}\n\n")
    elseif(line MATCHES "^- (.+)$" AND NOT version STREQUAL "")
      string(APPEND changelog "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  ([^ ].*)$" AND NOT version STREQUAL "")
      string(APPEND changelog "    ${CMAKE_MATCH_1}\n")
    elseif(NOT line STREQUAL "" AND NOT version STREQUAL "")
      message(FATAL_ERROR "${file}:${number}: neither a release heading nor a note: ${line}")
    endif()
  endforeach()
  if(version STREQUAL "")
    message(FATAL_ERROR "${file}: no release heading \"## VERSION (YYYY-MM-DD)\"")
  endif()
  # A Debian changelog ends with the last entry's trailer line.
  string(REGEX REPLACE "\n\n$" "\n" trailer "${trailer}")
  string(APPEND changelog "${trailer}")
  string(REPLACE "${semicolon}" ";" changelog "${changelog}")

  set(CHAIN_RELEASE_VERSION ${version} PARENT_SCOPE)
  set(CHAIN_RELEASE_DATE ${date} PARENT_SCOPE)
  set(CHAIN_RELEASE_EPOCH ${epoch} PARENT_SCOPE)
  set(CHAIN_DEBIAN_CHANGELOG "${changelog}" PARENT_SCOPE)
endfunction()
