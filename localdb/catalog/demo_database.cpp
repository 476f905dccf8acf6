// The statements that build the demo database.
#include "localdb/catalog/demo_database.h"

#include "localdb/system/errors.h"
#include "localdb/localdb.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <unistd.h>

namespace localdb {
namespace {

const char *const kSystemStatements[] = {
    "CREATE USER SCOTT IDENTIFIED BY TIGER",
    "GRANT CONNECT, RESOURCE TO SCOTT",
};

const char *const kScottStatements[] = {
    "CREATE TABLE DEPT (DEPTNO NUMBER(2) CONSTRAINT PK_DEPT PRIMARY KEY, DNAME VARCHAR2(14), LOC VARCHAR2(13))",
    "CREATE TABLE EMP (EMPNO NUMBER(4) CONSTRAINT PK_EMP PRIMARY KEY, ENAME VARCHAR2(10), JOB VARCHAR2(9), "
    "MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), "
    "DEPTNO NUMBER(2) CONSTRAINT FK_DEPTNO REFERENCES DEPT)",
    "CREATE TABLE BONUS (ENAME VARCHAR2(10), JOB VARCHAR2(9), SAL NUMBER, COMM NUMBER)",
    "CREATE TABLE SALGRADE (GRADE NUMBER, LOSAL NUMBER, HISAL NUMBER)",
    "CREATE INDEX EMP_ENAME_IX ON EMP (ENAME)",
    "INSERT INTO DEPT VALUES (10, 'ACCOUNTING', 'NEW YORK')",
    "INSERT INTO DEPT VALUES (20, 'RESEARCH', 'DALLAS')",
    "INSERT INTO DEPT VALUES (30, 'SALES', 'CHICAGO')",
    "INSERT INTO DEPT VALUES (40, 'OPERATIONS', 'BOSTON')",
    "INSERT INTO EMP VALUES (7369, 'SMITH', 'CLERK', 7902, DATE '1980-12-17', 800, NULL, 20)",
    "INSERT INTO EMP VALUES (7499, 'ALLEN', 'SALESMAN', 7698, DATE '1981-02-20', 1600, 300, 30)",
    "INSERT INTO EMP VALUES (7521, 'WARD', 'SALESMAN', 7698, DATE '1981-02-22', 1250, 500, 30)",
    "INSERT INTO EMP VALUES (7566, 'JONES', 'MANAGER', 7839, DATE '1981-04-02', 2975, NULL, 20)",
    "INSERT INTO EMP VALUES (7654, 'MARTIN', 'SALESMAN', 7698, DATE '1981-09-28', 1250, 1400, 30)",
    "INSERT INTO EMP VALUES (7698, 'BLAKE', 'MANAGER', 7839, DATE '1981-05-01', 2850, NULL, 30)",
    "INSERT INTO EMP VALUES (7782, 'CLARK', 'MANAGER', 7839, DATE '1981-06-09', 2450, NULL, 10)",
    "INSERT INTO EMP VALUES (7788, 'SCOTT', 'ANALYST', 7566, DATE '1987-04-19', 3000, NULL, 20)",
    "INSERT INTO EMP VALUES (7839, 'KING', 'PRESIDENT', NULL, DATE '1981-11-17', 5000, NULL, 10)",
    "INSERT INTO EMP VALUES (7844, 'TURNER', 'SALESMAN', 7698, DATE '1981-09-08', 1500, 0, 30)",
    "INSERT INTO EMP VALUES (7876, 'ADAMS', 'CLERK', 7788, DATE '1987-05-23', 1100, NULL, 20)",
    "INSERT INTO EMP VALUES (7900, 'JAMES', 'CLERK', 7698, DATE '1981-12-03', 950, NULL, 30)",
    "INSERT INTO EMP VALUES (7902, 'FORD', 'ANALYST', 7566, DATE '1981-12-03', 3000, NULL, 20)",
    "INSERT INTO EMP VALUES (7934, 'MILLER', 'CLERK', 7782, DATE '1982-01-23', 1300, NULL, 10)",
    "INSERT INTO SALGRADE VALUES (1, 700, 1200)",
    "INSERT INTO SALGRADE VALUES (2, 1201, 1400)",
    "INSERT INTO SALGRADE VALUES (3, 1401, 2000)",
    "INSERT INTO SALGRADE VALUES (4, 2001, 3000)",
    "INSERT INTO SALGRADE VALUES (5, 3001, 9999)",
    "COMMENT ON TABLE DEPT IS '部門'",
    "COMMENT ON COLUMN DEPT.DEPTNO IS '部門番号'",
    "COMMENT ON COLUMN DEPT.DNAME IS '部門名'",
    "COMMENT ON COLUMN DEPT.LOC IS '所在地'",
    "COMMENT ON TABLE EMP IS '社員'",
    "COMMENT ON COLUMN EMP.EMPNO IS '社員番号'",
    "COMMENT ON COLUMN EMP.ENAME IS '氏名'",
    "COMMENT ON COLUMN EMP.JOB IS '職種'",
    "COMMENT ON COLUMN EMP.MGR IS '上司の社員番号'",
    "COMMENT ON COLUMN EMP.HIREDATE IS '入社日'",
    "COMMENT ON COLUMN EMP.SAL IS '月給'",
    "COMMENT ON COLUMN EMP.COMM IS '歩合'",
    "COMMENT ON COLUMN EMP.DEPTNO IS '部門番号'",
    "COMMENT ON TABLE SALGRADE IS '給与等級'",
    ("CREATE VIEW EMP_DEPT_V AS SELECT E.EMPNO, E.ENAME, E.JOB, D.DNAME, D.LOC FROM EMP E, DEPT D "
     "WHERE E.DEPTNO = D.DEPTNO"),
    "CREATE SEQUENCE EMP_SEQ START WITH 8000",
    "CREATE SYNONYM STAFF FOR EMP",
};

}  // namespace

void createDemoDatabase(const std::string &path) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    const std::string temp = path + ".building-" + std::to_string(getpid());
    ::unlink(temp.c_str());
    try {
        Session::createDatabase(temp, "MANAGER");
        {
            auto system = Session::open(temp, "SYSTEM", "MANAGER");
            for (const char *sql : kSystemStatements)
                system->execute(sql);
        }
        {
            auto scott = Session::open(temp, "SCOTT", "TIGER");
            for (const char *sql : kScottStatements)
                scott->execute(sql);
        }
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    // The sessions are closed, so the write-ahead log has been folded into the file.
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        if (access(path.c_str(), F_OK) != 0)
            raise(1119, -1, {path});
    }
}

}  // namespace localdb
